// The dialogs the main window opens from its menus and toolbars.
#include "velmora.h"

void Velmora::openMassRename() {}
void Velmora::openMultiTagger() {}
void Velmora::openOptions() {}
void Velmora::openFilters() {}
void Velmora::openPlaylist() {}
void Velmora::openFileInfo() {}
