#pragma once

#include <QString>
#include <memory>

#include "core/profile.h"

class QSettings;

namespace dromo {

// The profile as an INI file: "$XDG_CONFIG_HOME/Tarnwick Software/Dromo.ini",
// one group per section. Value names are kept whole: "URL0\Target" in
// section "URL" is the line "URL0\Target=..." under "[URL]". Ints are
// stored as decimal numbers. Writes go to a temporary file that replaces
// the profile only when complete, so a crash never leaves half a profile.
//
// Like QSettings itself, one instance is for one thread at a time.
class SettingsProfile : public Profile {
public:
    SettingsProfile();
    explicit SettingsProfile(const QString& iniPath);
    ~SettingsProfile() override;

    QString FileName() const;

    std::int32_t GetInt(const std::string& section, const std::string& name,
                        std::int32_t defaultValue) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& defaultValue) override;
    void WriteInt(const std::string& section, const std::string& name, std::int32_t value) override;
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    void DeleteSection(const std::string& section) override;
    std::vector<std::string> ValueNames(const std::string& section) override;
    bool Flush() override;

private:
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace dromo
