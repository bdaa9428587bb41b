#pragma once
// The stand-in's private working folder in the temporary folder: the solver writes dump.txt into the current
// folder when it dislikes a deal, and several stand-ins may run at once. A stand-in ended by an interrupt removes
// its folder on the way (interrupt_cleanup.h), under the folder's lock as ever.
#include <array>
#include <string>

namespace standin {

class WorkFolder {
public:
    WorkFolder() = default;
    ~WorkFolder(); // removes the folder
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    // Removes the folders that stand-ins which were killed left behind, then makes a new folder of our own,
    // locked for as long as this object lives. False when none could be made.
    bool Make();
    // Removes the folder and what is in it, and lets its lock go.
    void Remove();

    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
    int m_lock = -1;
    std::array<int, 3> m_pending{-1, -1, -1}; // the folder and its files among those an interrupt removes
};

} // namespace standin
