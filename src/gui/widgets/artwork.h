#pragma once

#include <QIcon>
#include <QPixmap>

namespace dromo {

// Dromo's pictures: freedesktop theme icons where a theme has one, and
// pictures drawn here otherwise, so the program looks complete anywhere.
class Artwork {
public:
    // The state image of a row (1 Queued, 2 Running, 3 Error, 4 Done,
    // 5 Paused, 6 Scheduled); an empty picture for 0.
    static QPixmap StateImage(int index);
    // The file-type icon of a row (the indexes of FileTypeIcon).
    static QIcon FileType(int index);
    // The tray icon by its classic number: 128 idle, 207..212 by speed.
    static QIcon Tray(int id);
    static QIcon Program();
    // A command's icon by its freedesktop name ("list-add"), drawn for Dromo
    // and bundled with it; a null icon for a name it does not have.
    static QIcon Command(const QString& name);
};

}  // namespace dromo
