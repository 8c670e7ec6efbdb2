#include "HelpMenu.h"

#include "BuildInfo.h"
#include "Texts.h"
#include "frmAbout.h"
#include "frmWebUpdate.h"
#include "GShell.h"

const form::MenuItem kHelpMenuItems[6] = {
    {texts::HelpContents, nullptr, false},
    {texts::HelpSearch, nullptr, false},
    {texts::HelpCheckUpdate, nullptr, false},
    {texts::HelpWebsite},
    {L"-"},
    {texts::HelpAbout},
};

void mnuHelp_Command(int index) {
    switch (index) {
    case 2:
        form::Single<frmWebUpdate>().Show();
        break;
    case 3:
        // A page that cannot be opened is left in the error record, not shown.
        GShell(APP_WEB_PAGE_W, 10, L"", L"", L"open", nullptr);
        break;
    case 5:
        ShowAboutBox();
        break;
    default:
        break;  // Contents and Search for help have no command
    }
}
