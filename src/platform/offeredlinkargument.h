#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>

namespace dromo {

// One link of DROMO.URLMonitor.AddDownloads(a(sa{ss})) as it travels on the
// bus: the URL and what the browser knew of it (the keys of AddDownload).
// Both ends use it: the capture host sends, Dromo's capture object takes.
struct OfferedLinkArgument {
    QString url;
    QMap<QString, QString> details;

    // Once per process, before the type is sent, received or exported.
    static void Register();
};

QDBusArgument& operator<<(QDBusArgument& argument, const OfferedLinkArgument& link);
const QDBusArgument& operator>>(const QDBusArgument& argument, OfferedLinkArgument& link);

}  // namespace dromo

Q_DECLARE_METATYPE(dromo::OfferedLinkArgument)
