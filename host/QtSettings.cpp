// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/QtSettings.h"

#include <QPoint>
#include <QSettings>

namespace vx {

namespace {
QString qkey(const std::string& key) {
    return QString::fromStdString(key);
}
} // namespace

std::optional<std::string> QtSettings::text(const std::string& key) {
    QSettings s;
    QVariant v = s.value(qkey(key));
    if (!v.isValid()) return std::nullopt;
    // Earlier versions kept the window's place as a point: it reads as "x y".
    if (v.typeId() == QMetaType::QPoint)
        return std::to_string(v.toPoint().x()) + " " + std::to_string(v.toPoint().y());
    return v.toString().toStdString();
}

std::optional<std::string> QtSettings::bytes(const std::string& key) {
    QVariant v = QSettings().value(qkey(key));
    if (!v.isValid()) return std::nullopt;
    return v.toByteArray().toStdString();
}

void QtSettings::setBytes(const std::string& key, const std::string& value) {
    QSettings().setValue(qkey(key), QByteArray::fromStdString(value));
}

std::optional<long long> QtSettings::integer(const std::string& key) {
    QSettings s;
    bool ok = false;
    long long v = s.value(qkey(key)).toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

std::optional<bool> QtSettings::boolean(const std::string& key) {
    QSettings s;
    QVariant v = s.value(qkey(key));
    if (!v.isValid()) return std::nullopt;
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    const QString t = v.toString().trimmed().toLower();
    if (t == QLatin1String("true")) return true;
    if (t == QLatin1String("false")) return false;
    return std::nullopt;
}

void QtSettings::setText(const std::string& key, const std::string& value) {
    QSettings().setValue(qkey(key), QString::fromStdString(value));
}

void QtSettings::setInteger(const std::string& key, long long value) {
    QSettings().setValue(qkey(key), value);
}

void QtSettings::setBoolean(const std::string& key, bool value) {
    QSettings().setValue(qkey(key), value);
}

} // namespace vx
