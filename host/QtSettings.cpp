// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/QtSettings.h"

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
    return v.toString().toStdString();
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
