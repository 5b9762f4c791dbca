// Where the program finds and keeps its files. The data file and the help
// file always lie beside the program. The settings file and the member list
// lie beside it too when its folder can be written; an installed program,
// whose folder cannot be written, keeps them in the user's folders instead
// ($XDG_CONFIG_HOME/TodayMirvo/TodayMirvo.ini and
// $XDG_DATA_HOME/TodayMirvo/Mirvo.csv; on Windows both in %APPDATA%\TodayMirvo).
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace mirvo {

struct ProgramPaths {
    std::filesystem::path programFile;  // the program itself, e.g. /opt/x/TodayMirvo
    // Folders of the settings file and of the member list, and the folder the
    // member-file dialogs start in; empty: the program's folder.
    std::filesystem::path settingsFolder;
    std::filesystem::path memberFolder;
    std::filesystem::path startFolder;
    // The program's folder when it was passed over because other users can
    // write it (then the user's folders hold the files); empty otherwise.
    std::filesystem::path sharedFolder;

    std::filesystem::path ProgramFolder() const { return programFile.parent_path(); }
    // The calendar data file, required at start.
    std::filesystem::path DataFile() const { return ProgramFolder() / "Kosmera.dat"; }
    // The member list, read at start when it exists and written at exit.
    std::filesystem::path MemberFile() const { return OrProgramFolder(memberFolder) / "Mirvo.csv"; }
    // The settings: named after the program, with the extension ".ini".
    std::filesystem::path SettingsFile() const
    {
        return OrProgramFolder(settingsFolder) / WithExtension(".ini").filename();
    }
    // The whole report of what a start met, when its box shows only the
    // first lines: beside the settings, named after the program, ".log".
    std::filesystem::path LogFile() const
    {
        return OrProgramFolder(settingsFolder) / WithExtension(".log").filename();
    }
    // The help file: the program's path with the extension ".chm".
    std::filesystem::path HelpFile() const { return WithExtension(".chm"); }
    // Where LastFolder starts when the settings hold none.
    std::filesystem::path LastFolderStart() const { return OrProgramFolder(startFolder); }
    // True when the settings and the member list live in the user's folders.
    bool InUserFolders() const { return !settingsFolder.empty(); }

private:
    std::filesystem::path WithExtension(const char* extension) const
    {
        std::filesystem::path p = programFile;
        p.replace_extension(extension);
        return p;
    }
    std::filesystem::path OrProgramFolder(const std::filesystem::path& folder) const
    {
        return folder.empty() ? ProgramFolder() : folder;
    }
};

// The program's folder with a trailing separator, as LastFolder holds it:
// UTF-8, with the system's separators.
inline std::string FolderWithSeparator(const std::filesystem::path& folder)
{
    constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
    std::filesystem::path shown = folder;
    std::string s = shown.make_preferred().string();
    if (s.empty() || s.back() != kSeparator)
        s += kSeparator;
    return s;
}

// The user's folders, by the XDG base directory rules: XDG_CONFIG_HOME and
// XDG_DATA_HOME when they hold absolute paths, else ~/.config and
// ~/.local/share; the home folder is HOME, or the password entry's when HOME
// is unset or not absolute. On Windows (programpaths_win32.cpp) both are
// %APPDATA%, the roaming application data folder, and the home folder is
// %USERPROFILE%; the shell's known folders stand in for unset or relative values.
struct UserFolders {
    std::filesystem::path home;
    std::filesystem::path configHome;
    std::filesystem::path dataHome;
    // Where the member-file dialogs start for an installed program (empty:
    // the home folder); on Windows the user's ドキュメント (FOLDERID_Documents).
    std::filesystem::path documents = {};

    static UserFolders FromEnvironment();
};

// Whether new files can be made in a folder, as the system answers for the
// effective user (access(2)): besides the permission bits this takes in a
// read-only file system, which refuses root too, and a folder marked
// immutable; nothing is written. On Windows, whose answers about rights a
// save can still contradict, a hidden file is made there and removed again.
// False for a missing folder.
bool FolderIsWritable(const std::filesystem::path& folder);

// Whether users other than this one may add, remove or rename files in a
// folder: it is writable by its group or by everyone (with a sticky bit or
// without: the sticky bit, as on /tmp, keeps each user's files to their
// owner, but another user still adds a link named as one of the program's
// files, or the folder "backup"), or it belongs to another user (but the
// system's administrator). Such a folder is not used for the user's
// settings and member list. False for a missing folder.
bool FolderSharedWithOthers(const std::filesystem::path& folder);

// True when `file` is a symbolic link made by another user, or one that
// leads to a file of another owner than its own: the program's files are
// never read or written through one.
bool LinkOfAnotherOwner(const std::filesystem::path& file);

// Takes the group's and everyone's write permission away from a folder this
// user owns; nothing for another's folder.
void KeepToOwner(const std::filesystem::path& folder);

using FolderCheck = std::function<bool(const std::filesystem::path& folder)>;

// The paths of the program at `programFile`: its files beside it when
// `writable` says its folder can be written, `shared` does not say that
// others can write it too and neither file there is a LinkOfAnotherOwner, else the settings in <configHome>/TodayMirvo,
// the member list in <dataHome>/TodayMirvo and LastFolder starting in the
// documents folder (the home folder when that is not known) (with sharedFolder set when `shared` was the reason).
ProgramPaths LocateProgramFiles(const std::filesystem::path& programFile, const FolderCheck& writable,
                                const UserFolders& user, const FolderCheck& shared = {});
// The same with the real check and the real environment.
ProgramPaths LocateProgramFiles(const std::filesystem::path& programFile);

// Whether a save can replace the file at `file`, or make it when it is
// missing: its folder can be written (the new file is made there first and
// renamed over it) and the file itself, when there, is a regular file with
// a write permission. Nothing is written.
bool FileIsWritable(const std::filesystem::path& file);

// Makes the folders of the settings file and the member list when they are
// the user's folders, so that both can be written at exit, and takes other
// users' write permission away from them when this user owns them. False
// when one cannot be made (saving then reports the file it could not write).
bool MakeUserFolders(const ProgramPaths& paths);

} // namespace mirvo
