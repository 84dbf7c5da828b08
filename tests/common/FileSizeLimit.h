#pragma once
// Writing past a size limit fails as on a full disk; the limit holds for the whole process
// while the object lives.
#include <QtGlobal>

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a refused write is an error, not the end of the process
        rlimit lower = old_;
        lower.rlim_cur = rlim_t(bytes);
        set_ = setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isSet() const { return set_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool set_ = false;
};
