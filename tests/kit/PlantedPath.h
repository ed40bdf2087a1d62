#pragma once

#include "kit/Files.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

// What another user may have put where a program is told to write, in a sticky folder as /tmp
// is: "link" to our victim file, "dangling link", "hard link" to our victim file, "pipe" (ours,
// nobody reading), "another's pipe", "another's file", "full device" (/dev/full), "no folder".
// Another user's things and a device of ours need root: possible says whether the row can run.
struct PlantedPath {
    static constexpr uid_t kOtherUser = 65534;
    QTemporaryDir dir;
    QString path = dir.filePath("out.txt");
    QString victim = dir.filePath("victim.txt"); // what a link points at
    bool possible = true;

    explicit PlantedPath(const QString& kind) {
        ::chmod(QFile::encodeName(dir.path()).constData(), 01777);
        if (kind == "link" || kind == "dangling link")
            QFile::link(victim, path);
        if (kind == "link" || kind == "hard link" || kind == "another's file")
            WriteFile(kind == "another's file" ? path : victim, "kept\n");
        if (kind == "hard link")
            ::link(QFile::encodeName(victim).constData(), QFile::encodeName(path).constData());
        if (kind.endsWith("pipe"))
            ::mkfifo(QFile::encodeName(path).constData(), 0666);
        if (kind.startsWith("another's"))
            possible = ::chown(QFile::encodeName(path).constData(), kOtherUser, kOtherUser) == 0;
        if (kind == "folder link") { // in place of a folder on the way, to one of root's
            QDir(dir.path()).mkdir("root's");
            QFile::link(dir.filePath("root's"), dir.filePath("via"));
            victim = dir.filePath("root's/out.txt");
            path = dir.filePath("via/out.txt");
        }
        possible = possible && (kind != "full device" || ::geteuid() == 0);
        path = kind == "full device" ? "/dev/full"
               : kind == "no folder" ? dir.filePath("no/out.txt")
                                     : path;
    }
};
