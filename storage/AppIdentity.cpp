// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/AppIdentity.h"

#include <QCoreApplication>

namespace vx {

void setAppIdentity() {
    QCoreApplication::setOrganizationName(QString::fromLatin1(organizationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(applicationName));
}

} // namespace vx
