#pragma once
#include "RegistryTree.h"
#include <QByteArray>
#include <QString>

class ProfileFile;

// Reg.ini: one section per key below the roots, named by its KeyPath, depth-first; a key without
// entries gets the placeholder line "Nic=Nic", every entry the line name=(Type)value. Lines and
// sections are set with profile semantics: names match without regard to letter case, and a later
// line of the same name replaces the earlier one in place.

// The in-memory text that goes into the data file: Windows-1250, CR LF, one empty line after each section.
QByteArray BuildRegIniStream(const RegistryTree& tree);

// The copy beside the project: every section of the profile is removed (text before the first
// section stays), then the walk writes through the profile engine.
void WriteRegIni(ProfileFile& profile, const RegistryTree& tree);
// Loads the file at path (a missing file counts as empty), writes it and saves it atomically.
// Throws ZelvakonError naming the file. Asking before an existing file is overwritten is the caller's.
void SaveRegIni(const QString& path, const RegistryTree& tree);

// What a load did, and what it could not take as the file has it.
struct RegIniLoadReport {
    // The key the editor shows afterwards: of the last section that names a root key, the last key
    // the load created for it, or the key it named again in another letter case, else that root.
    // Null when no section names a root key.
    RegKey* Last = nullptr;
    int TooDeep = 0;     // sections deeper than MaxRegIniDepth, skipped
    int CaseMerged = 0;  // sections naming a key that differs from another only in letter case
};

// Adds the profile's keys and entries to the tree, removing nothing. Each section is split at every
// backslash; its first component must be a root name exactly, the rest are matched exactly among the
// children or created. Entries go only to the key that the section names, and only when this load
// creates it. A component that matches a child only without regard to letter case names that child
// (Windows holds them as one key); when it is the last one, the key takes the section's spelling and
// its entries replace the key's. Sections that name no root key, hold no backslash or go deeper than
// the Windows registry allows are skipped.
// The file is read a section at a time, never held parsed whole.
RegIniLoadReport LoadRegIni(const QByteArray& bytes, RegistryTree& tree);
// Reads the file at path; a file that cannot be read throws ZelvakonError naming it.
RegIniLoadReport LoadRegIni(const QString& path, RegistryTree& tree);

// The deepest path below a root that the Windows registry holds (512 levels); the editor, the
// import and the loader share it.
inline constexpr int MaxRegIniDepth = 512;

// What a save and a later load carry unchanged. A key name: not empty, no backslash (the path
// separator), no "]" (ends a section header), no control character, no trailing blank (the
// section name is trimmed), every character in Windows-1250.
bool RegIniKeepsKeyName(const QString& name);
// An entry: name and value not empty and in Windows-1250 without control characters or "=";
// the name without blanks at either end, not starting with "[" (it would read as a section header)
// and free of type markers; the value without trailing blanks, without the marker of any other type
// and short enough that "(Type)" + value fits the reader's 2047 characters.
bool RegIniKeepsEntry(const QString& name, const QString& typeName, const QString& value);
