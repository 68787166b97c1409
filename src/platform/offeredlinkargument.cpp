#include "platform/offeredlinkargument.h"

#include <QDBusMetaType>

namespace dromo {

void OfferedLinkArgument::Register()
{
    qDBusRegisterMetaType<QMap<QString, QString>>();
    qDBusRegisterMetaType<OfferedLinkArgument>();
    qDBusRegisterMetaType<QList<OfferedLinkArgument>>();
}

QDBusArgument& operator<<(QDBusArgument& argument, const OfferedLinkArgument& link)
{
    argument.beginStructure();
    argument << link.url << link.details;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, OfferedLinkArgument& link)
{
    argument.beginStructure();
    argument >> link.url >> link.details;
    argument.endStructure();
    return argument;
}

}  // namespace dromo
