/* Support library "py": pinyin initials for search and a safe file copy.
 * Plain C interface so the program can load it by name at run time. */
#ifndef KORVEL_SUPPORT_PY_H
#define KORVEL_SUPPORT_PY_H

#if defined(__GNUC__)
#  define PY_EXPORT __attribute__((visibility("default")))
#else
#  define PY_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Initials of a name for searching: every Chinese character becomes the first
 * letter (lower case) of its pinyin, every other character is kept as is.
 * name: UTF-8, NUL-terminated. Writes UTF-8 + NUL into out (outSize bytes; a
 * truncated result is cut at a character boundary). out may be NULL when
 * outSize is 0, to ask for the length only.
 * Returns the byte length of the full result without the NUL; a value
 * >= outSize means the result was truncated and the caller may retry with
 * a buffer of at least that value + 1. Returns -1 on error (bad arguments,
 * invalid UTF-8, transliterator unavailable). */
PY_EXPORT int GetPYIndexChar(const char *name, char *out, int outSize);

/* Copies file src over dst byte for byte without ever leaving a truncated
 * dst: the data goes to a temporary file in dst's folder, which is synced
 * and then renamed over dst. The temporary file is named
 * ".<name of dst>.tmp-<process id>-<counter>-<nanoseconds>"; a copy killed
 * half-way leaves it, and the program removes those of processes that no
 * longer run when it starts. src is only read, so it may be held open by
 * someone else. Returns 0 on success. On failure returns non-zero (an errno
 * value), leaves dst as it was, removes the temporary file and writes a short
 * UTF-8 reason naming the file concerned into err (errSize bytes, may be
 * NULL/0). */
PY_EXPORT int copyf(const char *src, const char *dst, char *err, int errSize);

#ifdef __cplusplus
}
#endif

#endif
