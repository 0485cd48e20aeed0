#include "platform/win/hive.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unordered_map>

#include "platform/win/codepage.h"
#include "platform/win/errors.h"
#include "platform/win/internal.h"
#include "platform/win/registry.h"

namespace vireo::win::reg {
namespace {

// The status a hive answers for a file it cannot read or write, by the host's errno.
LONG ReadStatus(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    default:
        return ERROR_CANTREAD;
    }
}

LONG WriteStatus(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    default:
        return ERROR_CANTWRITE;
    }
}

// Holds the hive's lock file locked for as long as it lives, when it could be opened.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& hiveFile) {
        std::filesystem::path lock = hiveFile;
        lock += ".lock";
        m_fd = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            m_error = errno;
            return;
        }
        while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FileLock() {
        if (m_fd >= 0)
            close(m_fd);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return m_fd >= 0; }
    int Error() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
};

// Reads a whole file; 0 or the errno of the failure.
int ReadWholeFile(const std::filesystem::path& file, std::string& text) {
    text.clear();
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    char buffer[65536];
    int error = 0;
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return error;
}

} // namespace

bool LongerThan(std::string_view utf8, std::size_t limit) {
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80)
            ++units; // a character's first byte
        if (c >= 0xF0)
            ++units; // beyond the basic plane: a surrogate pair
    }
    return units > limit;
}

void Seed(Key& root, HiveKind kind) {
    if (kind == HiveKind::User) {
        // Every user hive has its software key, which programs open rather than create.
        root.Add("Software");
        return;
    }
    // The engine answers as a level-11 engine; the version texts follow the form an
    // engine installer writes.
    Key& key = root.Add("SOFTWARE").Add("Microsoft").Add("Internet Explorer");
    for (auto [name, text] : {std::pair{"svcVersion", "11.0.250"}, std::pair{"Version", "9.11.250.0"}})
        if (!key.FindValue(name))
            key.SetValue(Value{name, REG_SZ, std::string(text) + std::string(1, '\0')});
}

void ApplySections(Key& root, const std::string& rootName, const std::vector<Section>& sections) {
    for (const Section& s : sections) {
        std::vector<std::string> parts = SplitKeyPath(s.path);
        if (parts.empty() || !EqualsIgnoreCaseUtf8(parts[0], rootName))
            throw ParseError(0, "the key \"" + s.path + "\" lies outside " + rootName);
        if (parts.size() - 1 > kMaxKeyDepth)
            throw ParseError(0, "a key lies deeper than " + std::to_string(kMaxKeyDepth) + " levels");
        for (std::size_t i = 1; i < parts.size(); ++i)
            if (LongerThan(parts[i], kMaxKeyNameLength))
                throw ParseError(0, "a key name is longer than " + std::to_string(kMaxKeyNameLength) +
                                        " characters");
        for (const Value& v : s.values)
            if (LongerThan(v.name, kMaxValueNameLength))
                throw ParseError(0, "a value name is longer than " + std::to_string(kMaxValueNameLength) +
                                        " characters");
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

Hive::Hive(std::filesystem::path file, std::string rootName, HiveKind kind)
    : m_file(std::move(file)), m_rootName(std::move(rootName)), m_kind(kind) {}

std::unique_ptr<Key> Hive::NewRoot() const {
    auto root = std::make_unique<Key>();
    root->name = m_rootName;
    root->isProtected = m_kind == HiveKind::Machine;
    Seed(*root, m_kind);
    return root;
}

int Hive::CurrentStamp(Stamp& stamp) const {
    struct stat st;
    if (stat(m_file.c_str(), &st) != 0)
        return errno;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return 0;
}

void Hive::SetAside(const std::string& why, bool locked) {
    std::unique_ptr<FileLock> lock;
    if (!locked)
        lock = std::make_unique<FileLock>(m_file);
    // Another process may have set it aside and written a sound one meanwhile.
    std::string text;
    if (ReadWholeFile(m_file, text) == 0) {
        try {
            auto root = NewRoot();
            root->isProtected = false;
            ApplySections(*root, m_rootName, ParseRegText(text));
            m_root = std::move(root);
            CurrentStamp(m_stamp);
            return;
        } catch (const ParseError&) {
        }
    }
    m_root = NewRoot();
    m_stamp = Stamp{};
    // Only a writer may move the file; one that cannot keeps the damaged file where it
    // is and works from the initial contents.
    if (lock && !lock->Held()) {
        std::fprintf(stderr, "vireo: the registry hive %s is damaged (%s)\n", m_file.c_str(), why.c_str());
        return;
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
}

LONG Hive::Load(bool locked) {
    Stamp stamp;
    if (int error = CurrentStamp(stamp)) {
        if (error != ENOENT && error != ENOTDIR)
            return ReadStatus(error);
        // No file yet: the hive holds what a new one holds.
        if (!m_loaded || m_stamp != Stamp{})
            m_root = NewRoot();
        m_stamp = Stamp{};
        m_loaded = true;
        return ERROR_SUCCESS;
    }
    if (m_loaded && stamp == m_stamp)
        return ERROR_SUCCESS;
    std::string text;
    if (int error = ReadWholeFile(m_file, text)) {
        // A file that cannot be read is no damaged file: it stays as it is.
        m_loaded = false;
        return ReadStatus(error);
    }
    try {
        // A stored hive says itself which of its keys are protected, its root included.
        auto root = std::make_unique<Key>();
        root->name = m_rootName;
        ApplySections(*root, m_rootName, ParseRegText(text));
        m_root = std::move(root);
        m_stamp = stamp;
    } catch (const ParseError& e) {
        SetAside(e.what(), locked);
    }
    m_loaded = true;
    return ERROR_SUCCESS;
}

LONG Hive::Read(const Key*& root) {
    root = nullptr;
    LONG status = Load(false);
    if (status == ERROR_SUCCESS)
        root = m_root.get();
    return status;
}

// Writers write through temporary files under the lock, so one found while holding the
// lock was left by a writer that was killed.
void Hive::RemoveLeftovers() const {
    std::string prefix = m_file.filename().string() + ".new-";
    DIR* dir = opendir(m_file.parent_path().c_str());
    if (!dir)
        return;
    while (dirent* entry = readdir(dir))
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0)
            unlinkat(dirfd(dir), entry->d_name, 0);
    closedir(dir);
}

// Without the lock nothing can be stored; a change that turns out to change nothing
// (creating a key that exists, say) still succeeds, as it needs no write.
LONG Hive::ModifyUnlocked(const std::function<LONG(Key& root, bool& changed)>& change, LONG writeStatus) {
    const Key* current = nullptr;
    if (LONG status = Read(current))
        return status;
    std::unique_ptr<Key> copy = current->Clone();
    bool changed = false;
    LONG status = change(*copy, changed);
    if (status != ERROR_SUCCESS || !changed)
        return status;
    return writeStatus;
}

LONG Hive::Modify(const std::function<LONG(Key& root, bool& changed)>& change) {
    FileLock lock(m_file);
    if (!lock.Held())
        return ModifyUnlocked(change, WriteStatus(lock.Error()));
    RemoveLeftovers();
    if (LONG status = Load(true))
        return status;
    bool changed = false;
    LONG status = change(*m_root, changed);
    if (status != ERROR_SUCCESS || !changed) {
        if (changed)
            m_loaded = false; // drop a half-made change; the file still holds the truth
        return status;
    }
    if (int error = detail::WriteFileAtomically(m_file, FormatRegText(*m_root, m_rootName, true))) {
        std::fprintf(stderr, "vireo: cannot write the registry hive %s: %s\n", m_file.c_str(),
                     std::strerror(error));
        m_loaded = false;
        return WriteStatus(error);
    }
    CurrentStamp(m_stamp);
    return ERROR_SUCCESS;
}

} // namespace vireo::win::reg

namespace vireo::win::detail {

std::string InitialHiveText(bool machine) {
    reg::Key root;
    root.name = machine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
    root.isProtected = machine;
    reg::Seed(root, machine ? reg::HiveKind::Machine : reg::HiveKind::User);
    return reg::FormatRegText(root, root.name, true);
}

} // namespace vireo::win::detail
