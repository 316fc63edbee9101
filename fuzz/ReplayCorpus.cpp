// Feeds saved fuzzer inputs to a target's LLVMFuzzerTestOneInput without
// libFuzzer, so the corpus runs as a regression test with any compiler.
//
// Usage: <replay program> <folder or file>...
// Every file of a folder (not its subfolders) is one input. Ends with 1 when
// an argument cannot be read or holds no input at all, so a lost corpus does
// not pass silently; a crash or sanitizer report ends the program itself.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool replayFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(fileName));
        return false;
    }
    const QByteArray input = file.readAll();
    // A copy of exactly the input's size, so a read past it is caught by the
    // address sanitizer where one is built in.
    auto *copy = new uint8_t[size_t(input.size())];
    std::copy(input.cbegin(), input.cend(), copy);
    LLVMFuzzerTestOneInput(copy, size_t(input.size()));
    delete[] copy;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder or file>...\n", argv[0]);
        return 2;
    }
    int replayed = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QStringList files;
        if (QFileInfo(path).isDir()) {
            const QDir folder(path);
            for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
                files << folder.filePath(name);
        } else {
            files << path;
        }
        if (files.isEmpty()) {
            std::fprintf(stderr, "no input in %s\n", qPrintable(path));
            ok = false;
        }
        for (const QString &file : files) {
            if (replayFile(file))
                ++replayed;
            else
                ok = false;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return ok ? 0 : 1;
}
