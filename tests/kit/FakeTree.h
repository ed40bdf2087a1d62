#pragma once

#include "ch341/Ch341Recognition.h"
#include "kit/Files.h"
#include "kit/PtyPair.h"

#include <QDir>
#include <QTemporaryDir>

// A fake /dev and /sys: ttyUSB devices bound to their driver, under USB devices with their IDs.
struct FakeTree {
    QTemporaryDir dir;
    PtyPair terminal; // what every /dev node leads to: the port opens terminals only
    ch341::TSysfsLayout layout{(dir.path() + "/dev").toStdString(),
                               (dir.path() + "/sys").toStdString()};
    FakeTree() { QDir(dir.path()).mkpath("dev"); }
    QString sys(const QString& rest) const { return dir.path() + "/sys/" + rest; }
    // A USB device usb with vendor:product, and a tty (empty: none) under its interface; node:
    // whether /dev has the tty's device node.
    void add(const QString& usb, const QString& id, const QString& tty, const QString& driver,
             bool node) {
        const QString device = sys("bus/usb/devices/" + usb);
        QDir().mkpath(device);
        WriteFile(device + "/idVendor", id.section(':', 0, 0).toUtf8() + '\n');
        WriteFile(device + "/idProduct", id.section(':', 1).toUtf8() + '\n');
        if (tty.isEmpty())
            return;
        const QString port = device + '/' + usb + ":1.0/" + tty;
        QDir().mkpath(port);
        QDir().mkpath(sys("bus/usb-serial/drivers/" + driver));
        QFile::link(sys("bus/usb-serial/drivers/" + driver), port + "/driver");
        QDir().mkpath(sys("class/tty/" + tty));
        QFile::link(port, sys("class/tty/" + tty + "/device"));
        if (node)
            QFile::link(QString::fromStdString(terminal.SlavePath()), dir.path() + "/dev/" + tty);
    }
    // A tty bound to driver, on a USB device of its own whose IDs do not matter.
    void add(const QString& tty, const QString& driver, bool node = true) {
        add("usb-" + tty, "1a86:7523", tty, driver, node);
    }
};
