#pragma once
// The program's icon, in every size the icon folder has, on the main window and, as the default, on every other
// top-level window (dialogs, message boxes, the help viewer).

class wxTopLevelWindow;

void SetProgramIcons(wxTopLevelWindow &mainFrame);
