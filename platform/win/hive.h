// One registry hive persisted as a text file. Every change is made under an exclusive
// lock on a companion lock file, on the contents as they are on disk at that moment,
// and stored atomically, so concurrent writers in other processes lose nothing and a
// writer killed midway leaves the previous contents intact.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/win/regtree.h"

namespace vireo::win::reg {

// The registry's limits, as the platform keeps them: a key name of 255 characters, a
// value name of 16,383, a path 512 keys deep.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;
constexpr std::size_t kMaxKeyDepth = 512;

// Whether a name (UTF-8) is longer than `limit` characters, counted as the platform
// counts them (UTF-16 units).
bool LongerThan(std::string_view utf8, std::size_t limit);

enum class HiveKind { Machine, User };

// What a hive holds when it is created, with its prefix or anew after damage: the
// standard keys, and in the machine hive the installed engine's version values, as the
// engine's installer writes them. Values already there are kept.
void Seed(Key& root, HiveKind kind);

class Hive {
public:
    Hive(std::filesystem::path file, std::string rootName, HiveKind kind);

    // The contents, read again when the file changed since the last look. A hive whose
    // file is absent holds its initial contents. ERROR_SUCCESS, or the status of a hive
    // that cannot be read (ERROR_ACCESS_DENIED, ERROR_TOO_MANY_OPEN_FILES, ERROR_CANTREAD).
    LONG Read(const Key*& root);

    // Applies `change` to the current contents under the lock and stores the result
    // when `change` returns ERROR_SUCCESS and says it changed something. A hive that
    // cannot be written answers ERROR_ACCESS_DENIED (read-only or not the user's) or
    // ERROR_CANTWRITE (a full disk, say) for a change, and still answers whatever does
    // not change it.
    LONG Modify(const std::function<LONG(Key& root, bool& changed)>& change);

    const std::filesystem::path& File() const { return m_file; }
    const std::string& RootName() const { return m_rootName; }

private:
    struct Stamp {
        ino_t inode = 0;
        off_t size = -1;
        long long mtimeNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    int CurrentStamp(Stamp& stamp) const;
    LONG Load(bool locked);
    void SetAside(const std::string& why, bool locked);
    std::unique_ptr<Key> NewRoot() const;
    LONG ModifyUnlocked(const std::function<LONG(Key& root, bool& changed)>& change, LONG writeStatus);
    void RemoveLeftovers() const;

    std::filesystem::path m_file;
    std::string m_rootName;
    HiveKind m_kind;
    std::unique_ptr<Key> m_root;
    Stamp m_stamp;
    bool m_loaded = false;
};

// Builds a tree below `root` from the sections of a text whose paths start with
// `rootName`; throws ParseError for a section outside it or beyond the registry's limits.
void ApplySections(Key& root, const std::string& rootName, const std::vector<Section>& sections);

} // namespace vireo::win::reg
