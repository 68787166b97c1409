#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "base/view/clipboardwatch.h"

namespace dromo {

class Notifications;
class TaskTable;
struct GlobalOptions;

// "Watch Clipboard": follows the desktop's clipboard and offers a copied
// link the rule of ClipboardWatch takes: the Add URL sheet while the window
// is up and free, else a desktop notice with "Download".
class ClipboardOffers : public QObject {
    Q_OBJECT
public:
    using OpenSheet = std::function<void(const QString& url)>;

    ClipboardOffers(TaskTable& table, const GlobalOptions& options, Notifications& notices,
                    std::function<bool()> windowShown, OpenSheet openSheet, QObject* parent = nullptr);

    // The clipboard's text changed (connected to the desktop's clipboard).
    void ClipboardChanged();

private:
    TaskTable& m_table;
    const GlobalOptions& m_options;
    Notifications& m_notices;
    std::function<bool()> m_windowShown;
    OpenSheet m_openSheet;
    ClipboardWatch m_watch;
};

}  // namespace dromo
