#pragma once
// The user's favorite page addresses: the list the Favorites menu and dialog show, and the file that keeps it
// ("DealscopeFavorites.txt" in the Documents folder, UTF-8 without a byte-order mark, one address per line).
#include <string>
#include <string_view>
#include <vector>

// The favorites and, beside each, the bytes the file holds for it (its line without the line end). A favorite read
// from the file keeps the bytes it was read from, so that a line the user kept is written back exactly as it was,
// also where it is not UTF-8; a favorite added here is its address in UTF-8.
struct FavoritesLines {
    std::vector<std::u16string> favorites;
    std::vector<std::string> lines;

    void Append(std::u16string favorite, std::string line);
};

// The file's entries: each LF ends one, a CR right before the LF is dropped, an empty line is an empty entry and
// whatever follows the last LF is no entry. Each line is decoded as UTF-8, a sequence that is not UTF-8 becoming
// U+FFFD; a byte-order mark stays in the first entry as U+FEFF.
FavoritesLines ParseFavorites(std::string_view bytes);
// Every line followed by CR LF, without a byte-order mark.
std::string FormatFavorites(const std::vector<std::string> &lines);

// The user's Documents folder as the XDG user-dirs configuration names it; the home folder when none is
// configured or the configured one does not exist. Throws platform::ProgramException when there is no home.
std::string GetDocumentsFolder();
// GetDocumentsFolder() + "/DealscopeFavorites.txt".
std::string GetFavoritesPath();

// The list and its file. A change is written to the file first and only then becomes the list, so the list,
// and with it the menu, always shows what the file holds. A file that exists but could not be read is never
// overwritten: it may hold addresses the user does not want to lose.
class FavoritesList {
public:
    // An empty path means GetFavoritesPath(), looked up at each load and save.
    explicit FavoritesList(std::string path = {});

    const std::vector<std::u16string> &Favorites() const { return m_entries.favorites; }

    // Replaces the list with the file's entries. A missing file gives an empty list and no message; a file that
    // cannot be opened or read is reported through the error sink, leaves the list empty and returns false.
    bool LoadFavorites();
    // The Favorites dialog's OK: the favorites at these indices of the list, in this order, are written to the
    // file through a mirror file and then become the list; each keeps the bytes it was read with. On any failure
    // the error is reported, platform::UserException is thrown, and both the list and the file stay as they were.
    void SaveFavorites(const std::vector<int> &order);
    // Add To Favorites: the list with url appended, saved as SaveFavorites saves.
    void AddFavorite(std::u16string_view url);
    // Whether Add To Favorites may add url: not empty and not yet listed (ASCII letters compared without case).
    bool CanAdd(std::u16string_view url) const;

private:
    std::string Path() const;
    void Save(FavoritesLines entries);

    FavoritesLines m_entries;
    std::string m_path;
    bool m_bFileUnreadable = false;
};

// The program's one list (the application object's favorites).
FavoritesList &AppFavorites();
