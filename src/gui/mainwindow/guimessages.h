#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "base/ports/messages.h"

namespace dromo {

// Message boxes over the main window. A warning is shown and not waited
// for; one asked for by a worker is posted to the user-interface thread.
class GuiMessages : public Messages {
public:
    void SetParent(QWidget* parent) { m_parent = parent; }
    void Warning(const std::string& text) override;
    bool AskOkCancel(const std::string& text, Ask kind) override;
    int Choose(const std::string& text, const std::vector<std::string>& buttons) override;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace dromo
