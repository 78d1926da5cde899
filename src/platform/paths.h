#pragma once
// File names as publications write them, mapped onto the running system.
//
// Publications were written on Windows: they use "\" as well as "/", drive
// letters, and rely on file names matching whatever their case. Every path a
// script hands to the player passes through NativePath before it touches the
// file system; nothing else in the code translates paths by hand.

#include <QString>

namespace tomeric::platform {

// The native path for a path written the Windows way:
//  - "\" and "/" both separate components;
//  - "X:" at the start maps through the drive table (see DriveRoot);
//  - a component that does not exist with its exact spelling is matched
//    case-insensitively against the entries of its folder.
// Relative paths stay relative (to the current folder). Components that
// exist in no spelling are kept as written, so the result can name a file
// still to be created.
QString NativePath(const QString& path);

// The folder a drive letter stands for, with a trailing separator. By default
// every letter is a per-user folder under the XDG data directory
// ("tomeric/drives/<letter>/"), created on demand; SetDriveRoot overrides a
// letter (the publication's own drive maps to the root of its folder's drive).
QString DriveRoot(QChar letter);
void SetDriveRoot(QChar letter, const QString& nativeFolder);

// True when the path names an existing file (not a folder).
bool FileExists(const QString& path);
// True when the path names an existing folder.
bool DirectoryExists(const QString& path);

// The native folder with exactly one trailing separator.
QString WithTrailingSeparator(const QString& folder);

// Parts of a name, splitting at the last "\" or "/" (and the drive colon):
// FolderPart keeps the trailing separator, FilePart is what follows it,
// ExtensionPart includes the dot ("" when there is none).
QString FolderPart(const QString& name);
QString FilePart(const QString& name);
QString ExtensionPart(const QString& name);

// True for "C:\...", "C:/..." and "/...", "\..." (rooted names).
bool IsAbsolute(const QString& name);

} // namespace tomeric::platform
