#include "gui/res/MenuTemplate.h"

#include "gui/res/CommandIds.h"

const MenuTemplate& HelpMenuTemplate() {
    static const MenuTemplate menu{136,
                                   "help",
                                   {{ID_HELP_CONTENT, "Content"},
                                    {0, ""},
                                    {ID_HELP_ABOUT, "About"},
                                    {ID_HELP_HOMEPAGE, "Home page"},
                                    {ID_HELP_TIP, "Tip of the Day..."}}};
    return menu;
}

const MenuTemplate& EditMenuTemplate() {
    static const MenuTemplate menu{144,
                                   "Edit",
                                   {{ID_EDIT_ADD, "Add video files to list"},
                                    {ID_EDIT_REMOVE, "Remove video file from list"},
                                    {ID_EDIT_MOVEUP, "Move up"},
                                    {ID_EDIT_MOVEDOWN, "Move down"},
                                    {ID_EDIT_FILE_SETTINGS, "File settings…"},
                                    {0, ""},
                                    {ID_EDIT_SAVE_LIST, "Save list…"},
                                    {ID_EDIT_OPEN_LIST, "Open list…"}}};
    return menu;
}
