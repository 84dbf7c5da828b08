#include "support/py.h"

#include <unicode/translit.h>
#include <unicode/uscript.h>
#include <unicode/utf8.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Copies text into a caller's buffer, cutting only at a UTF-8 character
// boundary so a truncated result is still valid text. Returns the full length.
int putText(const std::string &text, char *out, int outSize)
{
    if (out && outSize > 0) {
        size_t n = text.size();
        if (n >= static_cast<size_t>(outSize)) {
            n = static_cast<size_t>(outSize) - 1;
            while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
                --n;
        }
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    return static_cast<int>(text.size());
}

// Building "Han-Latin" loads large rule tables, so it is done once per
// process. ICU does not promise that one transliterator may be used from
// several threads at once, hence the mutex; it also guards the cache.
class Initials
{
public:
    Initials()
    {
        UErrorCode status = U_ZERO_ERROR;
        m_translit.reset(icu::Transliterator::createInstance(
            icu::UnicodeString::fromUTF8("Han-Latin; Latin-ASCII"), UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            m_translit.reset();
    }

    bool isValid() const { return m_translit != nullptr; }

    // Lower-case initial of one Han character, or 0 if it has no Latin reading.
    // Each character is transliterated alone so that one character always
    // gives exactly one letter, whatever its neighbours are.
    char initialOf(UChar32 c)
    {
        const auto found = m_cache.find(c);
        if (found != m_cache.end())
            return found->second;
        icu::UnicodeString text(c);
        m_translit->transliterate(text);
        char letter = 0;
        if (!text.isEmpty()) {
            const UChar32 first = text.char32At(0);
            if (first >= 'a' && first <= 'z')
                letter = static_cast<char>(first);
            else if (first >= 'A' && first <= 'Z')
                letter = static_cast<char>(first - 'A' + 'a');
        }
        m_cache.emplace(c, letter);
        return letter;
    }

    std::mutex mutex;

private:
    std::unique_ptr<icu::Transliterator> m_translit;
    std::unordered_map<UChar32, char> m_cache;
};

Initials &initials()
{
    static Initials instance;
    return instance;
}

std::string errorText(int code)
{
    char buf[256];
    // GNU strerror_r returns the text, the POSIX one fills buf; accept both.
    struct Pick {
        static const char *text(const char *result, const char *) { return result; }
        static const char *text(int, const char *buffer) { return buffer; }
    };
    buf[0] = '\0';
    return Pick::text(strerror_r(code, buf, sizeof buf), buf);
}

std::string directoryOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates the temporary file beside dst with a name that cannot clash with
// another copy running at the same time. The mode passes through the umask,
// as it would for a new file written by cp. The program's clean-up at start
// recognises exactly this name and reads the process id from it: change
// both together.
int createTemporary(const std::string &dst, mode_t mode, std::string &tmpPath)
{
    static std::atomic<unsigned> counter{0};
    const std::string prefix = directoryOf(dst) + "/." + baseNameOf(dst) + ".tmp-"
                               + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        tmpPath = prefix + std::to_string(counter++) + "-" + std::to_string(now.tv_nsec);
        const int fd = open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Streams src into the open temporary file. Returns 0 or an errno value,
// with message set.
int copyContents(int in, int out, const std::string &src, const std::string &tmp,
                 std::string &message)
{
    static constexpr size_t BufferSize = 256 * 1024;
    std::unique_ptr<char[]> buffer(new char[BufferSize]);
    for (;;) {
        const ssize_t n = read(in, buffer.get(), BufferSize);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int code = errno;
            message = "无法读取 " + src + "：" + errorText(code);
            return code;
        }
        if (!writeAll(out, buffer.get(), static_cast<size_t>(n))) {
            const int code = errno;
            message = "无法写入 " + tmp + "：" + errorText(code);
            return code;
        }
    }
}

// Closes what is still open and removes the temporary file unless it was
// renamed into place, on every way out including exceptions.
struct CopyState
{
    int in = -1;
    int out = -1;
    std::string tmp;

    ~CopyState()
    {
        if (in >= 0)
            close(in);
        if (out >= 0)
            close(out);
        if (!tmp.empty())
            unlink(tmp.c_str());
    }
};

int copyFile(const std::string &src, const std::string &dst, std::string &message)
{
    // Some failures leave errno at 0; a failure must never read as success.
    const auto failed = [](int code) { return code != 0 ? code : EIO; };
    CopyState state;

    state.in = open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (state.in < 0) {
        const int code = failed(errno);
        message = "无法打开 " + src + "：" + errorText(code);
        return code;
    }
    struct stat srcInfo{};
    if (fstat(state.in, &srcInfo) != 0) {
        const int code = failed(errno);
        message = "无法读取 " + src + "：" + errorText(code);
        return code;
    }

    std::string tmp;
    state.out = createTemporary(dst, srcInfo.st_mode & 0666, tmp);
    if (state.out < 0) {
        const int code = failed(errno);
        message = "无法在 " + directoryOf(dst) + " 创建临时文件：" + errorText(code);
        return code;
    }
    state.tmp = tmp;

    if (const int code = copyContents(state.in, state.out, src, tmp, message))
        return failed(code);

    // Replacing a file keeps its permissions, as cp does.
    struct stat dstInfo{};
    if (stat(dst.c_str(), &dstInfo) == 0 && S_ISREG(dstInfo.st_mode))
        fchmod(state.out, dstInfo.st_mode & 07777);

    // close() can report a delayed write error, which must fail the copy too.
    const bool synced = fsync(state.out) == 0;
    int code = synced ? 0 : errno;
    if (close(std::exchange(state.out, -1)) != 0 && synced)
        code = errno;
    if (!synced || code != 0) {
        code = failed(code);
        message = "无法写入 " + tmp + "：" + errorText(code);
        return code;
    }

    if (rename(tmp.c_str(), dst.c_str()) != 0) {
        code = failed(errno);
        message = "无法替换 " + dst + "：" + errorText(code);
        return code;
    }
    state.tmp.clear();

    // Make the rename itself durable; the copy is already complete, so a
    // failure here is not reported.
    const int dir = open(directoryOf(dst).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return 0;
}

} // namespace

extern "C" int GetPYIndexChar(const char *name, char *out, int outSize)
{
    if (!name || outSize < 0 || (outSize > 0 && !out))
        return -1;
    try {
        Initials &table = initials();
        if (!table.isValid())
            return -1;

        const auto length = static_cast<int32_t>(std::strlen(name));
        const auto *bytes = reinterpret_cast<const uint8_t *>(name);
        std::string result;
        result.reserve(static_cast<size_t>(length));

        std::lock_guard<std::mutex> lock(table.mutex);
        for (int32_t i = 0; i < length;) {
            const int32_t start = i;
            UChar32 c;
            U8_NEXT(bytes, i, length, c);
            if (c < 0)
                return -1;
            UErrorCode status = U_ZERO_ERROR;
            if (uscript_getScript(c, &status) == USCRIPT_HAN && U_SUCCESS(status)) {
                if (const char letter = table.initialOf(c)) {
                    result += letter;
                    continue;
                }
            }
            result.append(name + start, static_cast<size_t>(i - start));
        }
        if (result.size() > static_cast<size_t>(INT32_MAX))
            return -1;
        return putText(result, out, outSize);
    } catch (...) {
        return -1;
    }
}

extern "C" int copyf(const char *src, const char *dst, char *err, int errSize)
{
    std::string message;
    int code = 0;
    if (!src || !dst || !*src || !*dst) {
        code = EINVAL;
        message = "缺少源文件或目标文件名";
    } else {
        try {
            code = copyFile(src, dst, message);
        } catch (...) {
            code = ENOMEM;
            message = "内存不足";
        }
    }
    if (code != 0 && errSize > 0)
        putText(message, err, errSize);
    return code;
}
