#pragma once

#include "gui/res/MenuTemplate.h"

#include <QPoint>
#include <QString>

class QApplication;
class QWidget;

// The program's skin: a style sheet with its palette, kept as the resource
// ":/<type>/<name>". The calls follow the order of a skin library's life:
// Initialize, LoadSkinFromResource, SetDialogSkin, then the program runs
// (SkinWindow, TrackPopupMenu), and Shutdown when it ends. Nothing here
// reports a failure to the user: a missing or broken skin leaves the plain
// look.
namespace SkinLibrary {

inline constexpr const char* kSkinResourceName = "TRAMBLE_SKIN";
inline constexpr const char* kSkinResourceType = "SKINMAGIC";
inline constexpr const char* kDialogSkinObject = "Dialog";

// Makes the library ready and remembers the plain look for Shutdown.
void Initialize(QApplication& application);

// Reads and checks the skin; it becomes the active skin. Returns false,
// leaving no active skin, when the resource is missing, empty or does not
// parse.
bool LoadSkinFromResource(const QString& name, const QString& type);

// Draws every window with the active skin's object of that name, from now
// on. The skin has one object, "Dialog"; any other name changes nothing.
void SetDialogSkin(const QString& skinObject);

// The program's own start: Initialize, LoadSkinFromResource with the
// program's skin, SetDialogSkin("Dialog"). Returns whether the skin loaded.
bool ApplyProgramSkin(QApplication& application);

// Marks one window as drawn by the skin and restyles it now.
void SkinWindow(QWidget* window);

// Shows the menu at a screen position, lets the user pick an item with
// either mouse button or the keyboard, and posts the picked item's command
// id to the owner (a CommandTarget), which handles it after this returns.
// Returns the picked id, or 0 when the menu was dismissed.
int TrackPopupMenu(const MenuTemplate& menu, QPoint screenPosition, QWidget* owner);

// Puts the plain look back and forgets the skin.
void Shutdown();

}  // namespace SkinLibrary
