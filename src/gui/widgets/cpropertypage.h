#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QLineEdit;

namespace dromo {

class NumberField;
class Messages;

// One tab of a property sheet. Its controls are filled from its fields when
// it is first shown (OnInitDialog) and read back when it is left or OK is
// pressed (OnKillActive, which may refuse); a page never shown hands back
// what it was given. A right-click on a control in its help table shows that
// control's help text.
class CPropertyPage : public QWidget {
    Q_OBJECT
public:
    CPropertyPage(const QString& caption, Messages& messages, QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    bool Opened() const { return m_opened; }
    // The sheet shows this page: the first time, its controls are filled.
    void Activate();
    // Leaving the page or OK while it is shown: fields read back; false
    // keeps the page in front.
    virtual bool OnKillActive() { return true; }
    // Why the page stays in front when OnKillActive refused without a
    // message of its own (a required field is empty); the sheet shows it
    // below the page. Empty for pages that say nothing.
    virtual QString StayReason() const { return {}; }
    // OK of the sheet, for every page that was opened.
    virtual void OnOK() {}

    // The help text of the first control in the table that holds the point
    // strictly inside its edges; empty when none does.
    QString HelpAt(const QPoint& globalPoint) const;

protected:
    virtual void OnInitDialog() {}
    void AddHelp(std::initializer_list<QWidget*> controls, const QString& text);
    // Reads a number field; on a bad value shows the message, gives the
    // field the focus and answers false.
    bool TakeInt(NumberField* field, int low, int high, std::int32_t& value);
    bool TakeText(QLineEdit* field, std::size_t limit, std::string& value);
    Messages& Notices() { return m_messages; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool ShowHelp(const QPoint& globalPoint);

    struct Help {
        std::vector<QWidget*> controls;
        QString text;
    };
    QString m_caption;
    Messages& m_messages;
    std::vector<Help> m_help;
    bool m_opened = false;
};

}  // namespace dromo
