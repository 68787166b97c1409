#pragma once

#include <QString>
#include <vector>

namespace dromo {

// Where the browsers look for native messaging hosts, and the manifests that
// let Tessarin's extension start this host: the counterpart of registering
// an in-process browser module.
class Registration {
public:
    // The host's name in every manifest and in the extension.
    static constexpr const char* kHostName = "org.tarnwick.tessarin";
    // The extension's identity: Chromium derives it from the manifest's
    // "key", Firefox reads it from "browser_specific_settings".
    static constexpr const char* kChromiumExtensionId = "egpnnnkljljfkigfhlmjadljjbobodpj";
    static constexpr const char* kFirefoxExtensionId = "tessarin@tarnwick.example";

    enum class Family { Chromium, Firefox };
    struct Target {
        QString browser;
        QString manifestPath;
        Family family;
    };

    // The per-user manifest of each browser, under the user's home and
    // configuration folders.
    static std::vector<Target> UserTargets(const QString& home, const QString& configHome);
    // The manifest a Chromium-family browser started with --user-data-dir
    // reads.
    static Target ProfileTarget(const QString& userDataDir);

    static QByteArray Manifest(Family family, const QString& hostPath);
    // Writes (atomically) or removes each target's manifest; the failures,
    // one line each, are appended to `errors`. True when none failed.
    static bool Write(const std::vector<Target>& targets, const QString& hostPath, QStringList& errors);
    static bool Remove(const std::vector<Target>& targets, QStringList& errors);
};

}  // namespace dromo
