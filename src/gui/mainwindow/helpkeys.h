#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace dromo {

// F1 and Shift+F1 in every window but the main one (sheets, dialogs, the
// speed bar, the drop basket), where the main window's own keys do not
// reach: they open the guide's page about the window, at the section of
// the part that has the focus. Watches the whole application.
class HelpKeys : public QObject {
public:
    HelpKeys(const QWidget* mainWindow, std::function<void(const QString& topic)> open, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QWidget* m_mainWindow;
    std::function<void(const QString&)> m_open;
};

}  // namespace dromo
