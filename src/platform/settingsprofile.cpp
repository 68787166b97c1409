#include "settingsprofile.h"

#include <QSettings>
#include <QStringList>

namespace dromo {
namespace {

// QSettings separates groups with "/" and writes a nested key as "a\b" in an
// INI file, which is exactly how a value name with a backslash is stored.
QString Key(const std::string& section, const std::string& name)
{
    QString key = QString::fromStdString(name);
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QString::fromStdString(section) + QLatin1Char('/') + key;
}

}  // namespace

SettingsProfile::SettingsProfile()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Tarnwick Software"),
                                             QStringLiteral("Dromo")))
{
}

SettingsProfile::SettingsProfile(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

SettingsProfile::~SettingsProfile()
{
    m_settings->sync();
}

QString SettingsProfile::FileName() const
{
    return m_settings->fileName();
}

std::int32_t SettingsProfile::GetInt(const std::string& section, const std::string& name,
                                     std::int32_t defaultValue)
{
    const QVariant value = m_settings->value(Key(section, name));
    if (!value.isValid()) {
        return defaultValue;
    }
    if (value.typeId() == QMetaType::Int) {
        return value.toInt();
    }
    if (value.typeId() != QMetaType::QString) {
        return defaultValue;  // a list or an encoded variant is no number
    }
    bool ok = false;
    const int parsed = value.toString().trimmed().toInt(&ok, 10);
    return ok ? parsed : defaultValue;
}

std::string SettingsProfile::GetString(const std::string& section, const std::string& name,
                                       const std::string& defaultValue)
{
    const QVariant value = m_settings->value(Key(section, name));
    if (!value.isValid()) {
        return defaultValue;
    }
    // An unquoted text with commas in a hand-edited file reads as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    }
    return value.toString().toStdString();
}

void SettingsProfile::WriteInt(const std::string& section, const std::string& name, std::int32_t value)
{
    m_settings->setValue(Key(section, name), static_cast<int>(value));
}

void SettingsProfile::WriteString(const std::string& section, const std::string& name,
                                  const std::string& value)
{
    m_settings->setValue(Key(section, name), QString::fromStdString(value));
}

void SettingsProfile::DeleteSection(const std::string& section)
{
    m_settings->remove(QString::fromStdString(section));
}

std::vector<std::string> SettingsProfile::ValueNames(const std::string& section)
{
    std::vector<std::string> names;
    m_settings->beginGroup(QString::fromStdString(section));
    const QStringList keys = m_settings->allKeys();
    m_settings->endGroup();
    names.reserve(static_cast<std::size_t>(keys.size()));
    for (QString key : keys) {
        key.replace(QLatin1Char('/'), QLatin1Char('\\'));
        names.push_back(key.toStdString());
    }
    return names;
}

bool SettingsProfile::Flush()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

}  // namespace dromo
