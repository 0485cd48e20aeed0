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

#include "platform/win/regtree.h"

namespace vireo::win::reg {

class Hive {
public:
    Hive(std::filesystem::path file, std::string rootName, bool protectedRoot);

    // The contents, read again when the file changed since the last look.
    const Key& Read();

    // Applies `change` to the current contents under the lock and stores the result
    // when `change` returns ERROR_SUCCESS and says it changed something.
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
    bool CurrentStamp(Stamp& stamp) const;
    void Load(bool locked);
    void SetAside(const std::string& why, bool locked);
    std::unique_ptr<Key> EmptyRoot() const;

    std::filesystem::path m_file;
    std::string m_rootName;
    bool m_protectedRoot;
    std::unique_ptr<Key> m_root;
    Stamp m_stamp;
    bool m_loaded = false;
};

// Builds a tree below `root` from the sections of a text whose paths start with
// `rootName`; throws ParseError for a section outside it.
void ApplySections(Key& root, const std::string& rootName, const std::vector<Section>& sections);

} // namespace vireo::win::reg
