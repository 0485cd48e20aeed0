#include "platform/win/hive.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "platform/win/codepage.h"
#include "platform/win/errors.h"
#include "platform/win/internal.h"

namespace vireo::win::reg {
namespace {

// Holds the hive's lock file locked for as long as it lives.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& hiveFile) {
        std::filesystem::path lock = hiveFile;
        lock += ".lock";
        m_fd = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0)
            throw std::runtime_error("cannot open " + lock.string() + ": " + std::strerror(errno));
        while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FileLock() { close(m_fd); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd;
};

std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

void ApplySections(Key& root, const std::string& rootName, const std::vector<Section>& sections) {
    for (const Section& s : sections) {
        std::vector<std::string> parts = SplitKeyPath(s.path);
        if (parts.empty() || !EqualsIgnoreCaseUtf8(parts[0], rootName))
            throw ParseError(0, "the key \"" + s.path + "\" lies outside " + rootName);
        Key* key = &root;
        if (s.remove) {
            Key* parent = &root;
            for (std::size_t i = 1; i + 1 < parts.size() && parent; ++i)
                parent = parent->Find(parts[i]);
            if (parent && parts.size() > 1)
                parent->Remove(parts.back());
            continue;
        }
        for (std::size_t i = 1; i < parts.size(); ++i)
            key = &key->Add(parts[i]);
        if (s.isProtected)
            key->isProtected = true;
        // Index the key's values once: a hive of many values loads in linear time.
        std::unordered_map<std::string, std::size_t> index;
        for (std::size_t i = 0; i < key->values.size(); ++i)
            index.emplace(FoldCaseUtf8(key->values[i].name), i);
        for (const Value& v : s.values) {
            auto [it, added] = index.emplace(FoldCaseUtf8(v.name), key->values.size());
            if (added)
                key->values.push_back(v);
            else
                key->values[it->second] = Value{key->values[it->second].name, v.type, v.data};
        }
        for (const std::string& name : s.removedValues)
            key->RemoveValue(name);
    }
}

Hive::Hive(std::filesystem::path file, std::string rootName, bool protectedRoot)
    : m_file(std::move(file)), m_rootName(std::move(rootName)), m_protectedRoot(protectedRoot) {}

std::unique_ptr<Key> Hive::EmptyRoot() const {
    auto root = std::make_unique<Key>();
    root->name = m_rootName;
    root->isProtected = m_protectedRoot;
    return root;
}

bool Hive::CurrentStamp(Stamp& stamp) const {
    struct stat st;
    if (stat(m_file.c_str(), &st) != 0)
        return false;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}

void Hive::SetAside(const std::string& why, bool locked) {
    std::unique_ptr<FileLock> lock;
    if (!locked)
        lock = std::make_unique<FileLock>(m_file);
    // Another process may have set it aside and written a sound one meanwhile.
    std::string text = ReadWholeFile(m_file);
    try {
        auto root = EmptyRoot();
        root->isProtected = false;
        ApplySections(*root, m_rootName, ParseRegText(text));
        m_root = std::move(root);
        CurrentStamp(m_stamp);
        return;
    } catch (const ParseError&) {
    }
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    std::filesystem::path aside = m_file;
    aside += std::string(".damaged-") + stamp + "-" + std::to_string(getpid());
    std::error_code ec;
    std::filesystem::rename(m_file, aside, ec);
    std::fprintf(stderr,
                 "vireo: the registry hive %s is damaged (%s); it was kept as %s and a new one started\n",
                 m_file.c_str(), why.c_str(), aside.c_str());
    m_root = EmptyRoot();
    m_stamp = Stamp{};
}

void Hive::Load(bool locked) {
    Stamp stamp;
    if (!CurrentStamp(stamp)) {
        m_root = EmptyRoot();
        m_stamp = Stamp{};
        m_loaded = true;
        return;
    }
    if (m_loaded && stamp == m_stamp)
        return;
    std::string text = ReadWholeFile(m_file);
    try {
        // A stored hive says itself which of its keys are protected, its root included.
        auto root = EmptyRoot();
        root->isProtected = false;
        ApplySections(*root, m_rootName, ParseRegText(text));
        m_root = std::move(root);
        m_stamp = stamp;
    } catch (const ParseError& e) {
        SetAside(e.what(), locked);
    }
    m_loaded = true;
}

const Key& Hive::Read() {
    Load(false);
    return *m_root;
}

LONG Hive::Modify(const std::function<LONG(Key& root, bool& changed)>& change) {
    FileLock lock(m_file);
    Load(true);
    bool changed = false;
    LONG status = change(*m_root, changed);
    if (status != ERROR_SUCCESS || !changed) {
        if (changed)
            m_loaded = false; // drop a half-made change; the file still holds the truth
        return status;
    }
    try {
        detail::WriteFileAtomically(m_file, FormatRegText(*m_root, m_rootName, true));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vireo: %s\n", e.what());
        m_loaded = false;
        return ERROR_CANTWRITE;
    }
    CurrentStamp(m_stamp);
    return ERROR_SUCCESS;
}

} // namespace vireo::win::reg
