#pragma once

#include <QString>

class QWidget;

namespace dromo {

// Where the guide (the help folder) speaks of a part of the program, as
// "page.html" or "page.html#section". Windows and parts of windows carry
// their page; a sheet's page has a section per tab, so F1 on a sheet lands
// on the tab in front. The section names never follow the language of the
// tabs' captions.
class HelpTopic {
public:
    static constexpr const char* kContents = "index.html";

    static void Mark(QWidget* widget, const QString& topic);
    // The topic of the nearest marked widget from `widget` up through its
    // parents (a dialog's parent included); the contents when none is.
    static QString For(const QWidget* widget);
    // The section of a sheet's page; empty for a page the guide does not
    // know.
    static QString SectionOf(const QWidget* page);
};

}  // namespace dromo
