#pragma once

#include "kit/Files.h"

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

// What another user may have put under the name a program is told to write to, in a sticky
// folder everyone may write, as /tmp is. Kinds: "link" to a file of ours, "dangling link",
// "pipe" (ours, no reader), "another's pipe", "another's file", "full device" (/dev/full),
// "nothing". Another user's things, and a device of ours, need root: possible says whether
// the row can run.
struct PlantedPath {
    static constexpr uid_t kOtherUser = 65534;
    QTemporaryDir dir;
    QString path = dir.filePath("out.txt");
    QString victim = dir.filePath("victim.txt"); // what a link points at
    bool possible = true;

    explicit PlantedPath(const QString& kind) {
        ::chmod(QFile::encodeName(dir.path()).constData(), 01777);
        const QByteArray name = QFile::encodeName(path);
        if (kind == "full device") {
            path = QStringLiteral("/dev/full");
            possible = ::geteuid() == 0;
        } else if (kind == "link" || kind == "dangling link")
            QFile::link(victim, path);
        else if (kind.endsWith("pipe"))
            ::mkfifo(name.constData(), 0666);
        else if (kind == "another's file")
            WriteFile(path, "kept\n");
        if (kind == "link")
            WriteFile(victim, "kept\n");
        if (kind.startsWith("another's"))
            possible = ::chown(name.constData(), kOtherUser, kOtherUser) == 0;
    }
};
