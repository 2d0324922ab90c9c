// Search > Browse for Folder... (Ctrl+B) and Add Folder to Path...
// (Ctrl+Shift+B): the system's folder picker (the file dialog with folders
// only), opened at the Path box's last entry. The chosen folder replaces
// the box's text, or, for Add Folder to Path or with Shift held, follows it
// after a ";". A cancelled picker leaves the box as it was; no search
// starts until Enter.
#pragma once

namespace tarvo {

struct Program;

void browseForFolder(Program& program, bool append);

}  // namespace tarvo
