#pragma once

#include <QDialog>
#include <vector>

class QLabel;
class QTabWidget;

namespace dromo {

class CPropertyPage;

// A modal sheet of pages on tabs with OK and Cancel. A page may refuse to be
// left; it then stays in front, and OK does nothing while it is shown.
class CPropertySheet : public QDialog {
    Q_OBJECT
public:
    CPropertySheet(const QString& caption, QWidget* parent);

    QTabWidget* Tabs() const { return m_tabs; }
    // Why the page in front cannot be left, after a refused switch or OK;
    // hidden while there is nothing to say.
    QLabel* StayNote() const { return m_stayNote; }
    CPropertyPage* Page(int index) const { return m_pages.at(static_cast<std::size_t>(index)); }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // Shows the page at index as a click on its tab would.
    bool SelectPage(int index);

    void accept() override;

protected:
    void AddPage(CPropertyPage* page);
    void showEvent(QShowEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void TabChanged(int index);
    // The first control of the page that Tab reaches.
    static QWidget* FirstField(QWidget* page);
    // What Tab visits, in order: the tab bar, the page in front, the rest.
    std::vector<QWidget*> TabRing() const;

    // A refused switch: the page's reason beside the buttons.
    void ShowStayReason(const CPropertyPage* page);

    QTabWidget* m_tabs;
    QLabel* m_stayNote;
    std::vector<CPropertyPage*> m_pages;
    int m_current = 0;
    bool m_reverting = false;
};

}  // namespace dromo
