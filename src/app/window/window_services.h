#pragma once
// What the page and text windows, their frames and their documents take from the program around them: the main
// window, new page windows and the text windows' template. The application object installs them at start-up;
// below it, nothing reaches up to it or to the main frame but through here.
#include <string>

class CDSCDocument;
class wxAuiMDIParentFrame;
class wxDocTemplate;

// The main window as its tabs see it.
class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    // The address box's text, and setting it.
    virtual std::u16string GetAddressText() const = 0;
    virtual void SetAddressText(const std::u16string &text) = 0;
    // The title: the active window's document title, then "Dealscope".
    virtual void UpdateTitle() = 0;
    // The items that list the recent files and the favorites, made again where they no longer match their lists.
    virtual void RefreshListMenus() = 0;
};

class IWindowServices {
public:
    virtual ~IWindowServices() = default;
    // A new, empty page window's document; nullptr on failure.
    virtual CDSCDocument *NewPageDocument() = 0;
    // The text windows' template (not known to the document manager), or nullptr.
    virtual wxDocTemplate *TextViewTemplate() const = 0;
};

void SetWindowServices(IWindowServices *services);
IWindowServices *GetWindowServices();
// The main window (a wxAuiMDIParentFrame); nullptr while there is none: before it is made and from when it starts
// to go.
void SetMainWindow(IMainWindow *window);
IMainWindow *GetMainWindow();
// Its frame, or nullptr: the parent of new tabs and the owner of their prompts.
wxAuiMDIParentFrame *GetMainFrame();
