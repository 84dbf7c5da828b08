#include "store/BackupPaths.h"
#include "store/PyLibrary.h"

#include <QDirIterator>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString LibraryDir = QString::fromUtf8(PY_DIR);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(data), data.size());
}

// Every entry under dir with its content, hidden ones included, so a stray
// temporary file or a changed byte shows up as a difference.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        entries.insert(info.filePath(), info.isDir() ? QByteArray("<dir>") : readAll(info.filePath()));
    }
    return entries;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (char &c : data)
        c = char(QRandomGenerator::global()->bounded(256));
    return data;
}

} // namespace

class TstPy : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: once the real library is loaded, the system finds it by
    // name for the rest of the process.
    void missingLibrary();
    void initials_data();
    void initials();
    void initialsOfLongName();
    void initialsBufferContract_data();
    void initialsBufferContract();
    void copyOverDestination_data();
    void copyOverDestination();
    void copyFileHeldOpen();
    void failedCopyChangesNothing_data();
    void failedCopyChangesNothing();
    void copyKilledHalfWayIsCleanedUp();
};

void TstPy::missingLibrary()
{
    QLibrary systemWide(QStringLiteral("py"));
    if (systemWide.load())
        QSKIP("a library named py is on the system search path");

    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    const PyLibrary py(empty.path());
    QVERIFY(!py.isLoaded());

    bool ok = true;
    QVERIFY(py.initials(QStringLiteral("液晶电视"), &ok).isNull());
    QVERIFY(!ok);

    const QString src = empty.filePath(QStringLiteral("a.db"));
    const QString dst = empty.filePath(QStringLiteral("b.db"));
    writeFile(src, "data");
    QString error;
    QVERIFY(!py.copy(src, dst, &error));
    QCOMPARE(error, QStringLiteral("找不到支持库 py，无法复制文件"));
    QVERIFY(!QFile::exists(dst));
}

void TstPy::initials_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("chinese") << QStringLiteral("液晶电视") << QStringLiteral("yjds");
    QTest::newRow("mixed, case kept") << QStringLiteral("ABC电视1") << QStringLiteral("ABCds1");
    QTest::newRow("empty") << QString() << QString();
    // Transliterating the whole name would space out the syllables and
    // turn "（" into "(": each Han character must map alone, the rest stay.
    QTest::newRow("spaces kept") << QStringLiteral("液晶 电视") << QStringLiteral("yj ds");
    QTest::newRow("no reading kept") << QStringLiteral("人々") << QStringLiteral("r々");
    QTest::newRow("other scripts kept") << QStringLiteral("Café 北京（大）-2号")
                                        << QStringLiteral("Café bj（d）-2h");
    QTest::newRow("outside the BMP kept") << QStringLiteral("电😀视") << QStringLiteral("d😀s");
}

void TstPy::initials()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);

    const PyLibrary py(LibraryDir);
    QVERIFY(py.isLoaded());
    bool ok = false;
    const QString result = py.initials(name, &ok);
    QVERIFY(ok);
    QVERIFY(!result.isNull()); // null is reserved for "not available"
    QCOMPARE(result, expected);
}

void TstPy::initialsOfLongName()
{
    // Far longer than any first-try buffer, so the result only comes out
    // whole if the returned length is used to retry.
    const QString name = QStringLiteral("液晶电视").repeated(300) + QLatin1Char('Z');
    const PyLibrary py(LibraryDir);
    bool ok = false;
    QCOMPARE(py.initials(name, &ok), QStringLiteral("yjds").repeated(300) + QLatin1Char('Z'));
    QVERIFY(ok);
}

void TstPy::initialsBufferContract_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("outSize");
    QTest::addColumn<int>("expectedReturn");
    QTest::addColumn<QByteArray>("expectedOut");

    QTest::newRow("fits") << QByteArray("液晶电视") << 5 << 4 << QByteArray("yjds");
    QTest::newRow("no room for NUL") << QByteArray("液晶电视") << 4 << 4 << QByteArray("yjd");
    // "é" is two bytes and must not be cut in half.
    QTest::newRow("cut before a character") << QByteArray("aé电") << 3 << 4 << QByteArray("a");
    QTest::newRow("length only") << QByteArray("ABC电视1") << 0 << 6 << QByteArray();
    QTest::newRow("invalid UTF-8") << QByteArray("a\xff电") << 16 << -1 << QByteArray();
}

void TstPy::initialsBufferContract()
{
    QFETCH(QByteArray, name);
    QFETCH(int, outSize);
    QFETCH(int, expectedReturn);
    QFETCH(QByteArray, expectedOut);

    using Function = int (*)(const char *, char *, int);
    const auto getInitials = reinterpret_cast<Function>(
        QLibrary::resolve(LibraryDir + QLatin1String("/py"), "GetPYIndexChar"));
    QVERIFY(getInitials);

    QByteArray out(16, '#');
    QCOMPARE(getInitials(name.constData(), outSize ? out.data() : nullptr, outSize), expectedReturn);
    if (expectedReturn >= 0 && outSize > 0)
        QCOMPARE(QByteArray(out.constData()), expectedOut);
}

void TstPy::copyOverDestination_data()
{
    QTest::addColumn<bool>("destinationExists");
    QTest::newRow("new destination") << false;
    QTest::newRow("replaces longer destination") << true;
}

void TstPy::copyOverDestination()
{
    QFETCH(bool, destinationExists);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString src = dir.filePath(QStringLiteral("源.db"));
    const QString dst = dir.filePath(QStringLiteral("备份.db"));
    // Several read chunks, every byte value; the old destination is longer so
    // leftover bytes would show.
    const QByteArray data = randomBytes(700 * 1024);
    writeFile(src, data);
    QFile::Permissions keptPermissions;
    if (destinationExists) {
        writeFile(dst, QByteArray(900 * 1024, 'x'));
        QVERIFY(QFile::setPermissions(dst, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        keptPermissions = QFile::permissions(dst);
    }

    const PyLibrary py(LibraryDir);
    QString error;
    QVERIFY2(py.copy(src, dst, &error), qPrintable(error));
    QVERIFY(readAll(dst) == data);
    QCOMPARE(snapshot(dir.path()).size(), 2); // no temporary left behind
    if (destinationExists)
        QCOMPARE(QFile::permissions(dst), keptPermissions);
}

void TstPy::copyFileHeldOpen()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString src = dir.filePath(QStringLiteral("lr"));
    const QString dst = dir.filePath(QStringLiteral("lr.bak"));

    // As a database connection would: open for writing and never closed.
    QFile held(src);
    QVERIFY(held.open(QIODevice::ReadWrite));
    const QByteArray data = randomBytes(64 * 1024);
    QCOMPARE(held.write(data), data.size());
    QVERIFY(held.flush());

    const PyLibrary py(LibraryDir);
    QString error;
    QVERIFY2(py.copy(src, dst, &error), qPrintable(error));
    QVERIFY(readAll(dst) == data);
    QVERIFY(held.isOpen());
}

void TstPy::failedCopyChangesNothing_data()
{
    QTest::addColumn<QString>("src");
    QTest::addColumn<QString>("dst");
    QTest::addColumn<QString>("named"); // the file the reason must name

    QTest::newRow("source missing") << "nope.db" << "old.db" << "nope.db";
    // Fails while reading, after the temporary file has been created.
    QTest::newRow("source is a folder") << "sub" << "old.db" << "sub";
    QTest::newRow("destination folder missing") << "new.db" << "absent/old.db" << "absent";
    // Fails only at the final rename.
    QTest::newRow("destination is a folder") << "new.db" << "sub" << "sub";
}

void TstPy::failedCopyChangesNothing()
{
    QFETCH(QString, src);
    QFETCH(QString, dst);
    QFETCH(QString, named);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath(QStringLiteral("new.db")), "new data");
    writeFile(dir.filePath(QStringLiteral("old.db")), "old data");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    writeFile(dir.filePath(QStringLiteral("sub/inside")), "inside");
    const auto before = snapshot(dir.path());

    const PyLibrary py(LibraryDir);
    QString error;
    QVERIFY(!py.copy(dir.filePath(src), dir.filePath(dst), &error));
    QVERIFY2(error.startsWith(QStringLiteral("复制文件失败：")), qPrintable(error));
    QVERIFY2(error.contains(named), qPrintable(error));
    const auto after = snapshot(dir.path());
    QCOMPARE(after.keys(), before.keys());
    QVERIFY(after == before);
}

// A backup killed half-way, as by kill -9 or a power cut: its temporary file stays behind,
// the backup file stays as it was, and the clean-up at the next start removes exactly it.
void TstPy::copyKilledHalfWayIsCleanedUp()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const BackupPaths paths(dir.path());
    writeFile(paths.backupFile(), "the good backup");
    // The source never ends while the test holds its writing end, so the copy stops midway.
    const QString src = dir.filePath(QStringLiteral("lr"));
    QVERIFY(mkfifo(QFile::encodeName(src).constData(), 0600) == 0);

    QProcess copier;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TST_PY_COPY"), src + u'\n' + paths.backupFile());
    copier.setProcessEnvironment(env);
    copier.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(copier.waitForStarted());

    int fifo = -1;
    QTRY_VERIFY_WITH_TIMEOUT((fifo = open(QFile::encodeName(src).constData(), O_WRONLY | O_NONBLOCK)) >= 0, 20000);
    const auto temporaries = [&] {
        return QDir(dir.path()).entryList({QStringLiteral(".软件数据备份.tmp-*")}, QDir::Files | QDir::Hidden);
    };
    const QByteArray chunk(64 * 1024, 'd');
    const auto copyIsWriting = [&] {
        // Keeps the pipe full, so that the copy has bytes to write until it is killed.
        if (write(fifo, chunk.constData(), size_t(chunk.size())) < 0 && errno != EAGAIN)
            return false;
        const QStringList found = temporaries();
        return found.size() == 1 && QFileInfo(dir.filePath(found.first())).size() > 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(copyIsWriting(), 20000);
    const QString temporary = dir.filePath(temporaries().first());
    copier.kill();
    QVERIFY(copier.waitForFinished());
    close(fifo);

    QVERIFY(QFile::exists(temporary));
    QCOMPARE(readAll(paths.backupFile()), QByteArray("the good backup"));
    QCOMPARE(paths.removeStaleCopies(dir.path()), QStringList{temporary});
    QVERIFY(!QFile::exists(temporary));
    QCOMPARE(readAll(paths.backupFile()), QByteArray("the good backup"));
}

int main(int argc, char *argv[])
{
    // The helper of copyKilledHalfWayIsCleanedUp: one copy in a process of its own.
    const QString copy = qEnvironmentVariable("TST_PY_COPY");
    if (!copy.isEmpty()) {
        const QStringList files = copy.split(u'\n');
        QString error;
        return PyLibrary(LibraryDir).copy(files.value(0), files.value(1), &error) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    TstPy test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_py.moc"
