#include "store/PyLibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QVarLengthArray>

PyLibrary::PyLibrary(const QString &dir)
{
    const QString folder = dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
    for (const QString &name : {folder + QLatin1String("/py"), QStringLiteral("py")}) {
        m_library.setFileName(name);
        if (!m_library.load())
            continue;
        m_initials = reinterpret_cast<InitialsFunction>(m_library.resolve("GetPYIndexChar"));
        m_copy = reinterpret_cast<CopyFunction>(m_library.resolve("copyf"));
        if (m_initials && m_copy)
            return;
        // Some other library of that name: keep looking.
        m_initials = nullptr;
        m_copy = nullptr;
    }
}

bool PyLibrary::isLoaded() const
{
    return m_initials && m_copy;
}

QString PyLibrary::initials(const QString &name, bool *ok) const
{
    if (ok)
        *ok = false;
    if (!m_initials)
        return QString();

    const QByteArray utf8 = name.toUtf8();
    // Names are short; the heap is only needed for the rare long one.
    QVarLengthArray<char, 128> buffer(128);
    int length = m_initials(utf8.constData(), buffer.data(), int(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(qsizetype(length) + 1);
        length = m_initials(utf8.constData(), buffer.data(), int(buffer.size()));
    }
    if (length < 0 || length >= buffer.size())
        return QString();

    if (ok)
        *ok = true;
    if (length == 0)
        return QLatin1String(""); // empty but not null: a valid result
    return QString::fromUtf8(buffer.constData(), length);
}

bool PyLibrary::copy(const QString &src, const QString &dst, QString *error) const
{
    if (!m_copy) {
        if (error)
            *error = QStringLiteral("找不到支持库 py，无法复制文件");
        return false;
    }
    char reason[1024] = {};
    if (m_copy(QFile::encodeName(src).constData(), QFile::encodeName(dst).constData(),
               reason, int(sizeof reason)) == 0)
        return true;
    if (error) {
        const QString text = QString::fromUtf8(reason);
        *error = QStringLiteral("复制文件失败：")
                 + (text.isEmpty() ? QStringLiteral("未知错误") : text);
    }
    return false;
}
