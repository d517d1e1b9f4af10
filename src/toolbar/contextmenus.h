#pragma once

class PopupMenu;

// Fills the popup-menu object with its two stored item sets: "Toolbar" for the preview's buttons and
// "Addons" for the add-ons grid.
void addContextMenuItems(PopupMenu &menus);
