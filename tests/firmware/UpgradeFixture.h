#pragma once

#include "HexFiles.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "usb/Scrambling.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// An upgrade file with reproducible contents, and what a firmware change
// with it shows and leaves in the device.
struct UpgradeFixture {
    QString fileName;
    QByteArray plainImage;

    static UpgradeFixture make(const QString &fileName, quint32 seed)
    {
        UpgradeFixture fixture;
        fixture.fileName = fileName;
        fixture.plainImage = QByteArray(UpgradeImage::Size, '\0');
        fixture.plainImage.replace(UpgradeImage::ApplicationOffset, UpgradeImage::ApplicationSize,
                                   HexFiles::randomBytes(UpgradeImage::ApplicationSize, seed));
        fixture.plainImage.replace(UpgradeImage::ExternalFlashOffset, UpgradeImage::ExternalFlashSize,
                                   HexFiles::randomBytes(UpgradeImage::ExternalFlashSize, seed + 1));
        UpgradeImage::storeRegionSums(reinterpret_cast<unsigned char *>(fixture.plainImage.data()));
        if (!UpgradeFile::write(fileName, fixture.plainImage))
            fixture.fileName.clear();
        return fixture;
    }

    QByteArray applicationRegion() const
    {
        return plainImage.mid(UpgradeImage::ApplicationOffset, UpgradeImage::ApplicationSize);
    }
    QByteArray externalRegion() const
    {
        return plainImage.mid(UpgradeImage::ExternalFlashOffset, UpgradeImage::ExternalFlashSize);
    }
    // The external flash holds the region as the file stores it: scrambled
    // with the key starting at external flash address 0.
    QByteArray storedExternalRegion() const
    {
        QByteArray stored = externalRegion();
        EncodeBuffer(reinterpret_cast<unsigned char *>(stored.data()), unsigned(stored.size()));
        return stored;
    }

    // Log lines of a complete change.
    static QStringList linesFromApplication(const QString &fileName, const QString &serial)
    {
        return QStringList{fileName,       serial,       "1.00",    versionDate(),           "Apllication mode",
                           "Reset device", "Disconnect", "Connect", "Serial:" + serial + "b"}
               + linesOfWriting();
    }
    static QStringList linesFromBootloader(const QString &fileName, const QString &serial)
    {
        return QStringList{fileName, serial + "b", "1.00", versionDate(), "Bootloader mode"} + linesOfWriting();
    }
    // The same followed by the verdict of a unit back on the new firmware
    // (the emulator's first unit sits at port 1-1).
    static QStringList completedFromApplication(const QString &fileName, const QString &serial,
                                                const QString &port = QStringLiteral("1-1"))
    {
        return linesFromApplication(fileName, serial) << doneLine(serial, port);
    }
    static QStringList completedFromBootloader(const QString &fileName, const QString &serial,
                                               const QString &port = QStringLiteral("1-1"))
    {
        return linesFromBootloader(fileName, serial) << doneLine(serial, port);
    }
    static QString doneLine(const QString &serial, const QString &port)
    {
        return QStringLiteral("Done: the Vt520 %1 at %2 runs the new firmware.").arg(serial, port);
    }
    static QStringList linesOfWriting()
    {
        return {"Writting firmware ... ",      "OK", "Writting External Flash ... ", "OK",
                "Verify External Flash ...  ", "OK"};
    }
    static QString versionDate() { return QStringLiteral("2026-01-01"); }

    // 0, then one value after each of the 112 pages.
    static QList<int> percents()
    {
        QList<int> values{0};
        for (int page = 1; page <= 112; ++page)
            values.append(page * 1024 * 100 / 114688);
        return values;
    }
};
