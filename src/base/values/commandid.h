#pragma once

namespace dromo {

// Command identifiers of the menus, toolbar and accelerators.
enum class CommandId : int {
    LoadBrokenFile = 32772,
    SaveDownloadList = 32773,
    LoadDownloadList = 32774,
    ViewHistory = 32777,
    SelectAllInProgress = 32779,
    DropBasket = 32783,
    Options = 32784,
    AddUrl = 32785,
    DeleteSelected = 32786,
    Resume = 32787,
    Stop = 32788,
    StopAll = 32789,
    ShutDownWhenDone = 32790,
    HangUpWhenDone = 32791,
    AutoDialUp = 32792,
    AddressBar = 32795,
    MainWindow = 32811,
    Properties = 32815,
    ClearHistory = 32816,
    Legend = 32817,
    SaveSettingsNow = 32818,
    WallpaperCustomize = 32819,
    WallpaperBlank = 32822,
    GridLine = 32823,
    SpeedBar = 32824,
    Open = 32825,
    OpenFolder = 32826,  // newer than the classic commands
    RefreshAddress = 32827,
    SelectAll = 57642,
    About = 57664,
    Exit = 57665,
    HelpTopics = 57667,
    ContextHelp = 57670,
    ToolBar = 59392,
};

}  // namespace dromo
