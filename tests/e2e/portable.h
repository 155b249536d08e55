#pragma once

// A portable copy of the built program in a folder of its own, started as a user would.

#include "core/environment.h"
#include "core/inifile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTest>

class PortableCopy
{
public:
    explicit PortableCopy(const QString &folder) : m_folder(folder)
    {
        QDir().mkpath(folder);
        m_exe = folder + QStringLiteral("/tarsel");
        QFile::remove(m_exe);
        QFile::copy(QStringLiteral(TARSEL_EXE), m_exe);
    }

    QString exe() const { return m_exe; }
    QString folder() const { return m_folder; }
    // The per-user settings file the copy reads: named after the program, the user and the
    // computer, beside the program.
    QString settingsFile() const
    {
        return m_folder + QStringLiteral("/tarsel@") + UserComputerTag() + QStringLiteral(".INI");
    }
    void set(const QString &section, const QString &key, const QString &value) const
    {
        IniWriteString(section, key, value, settingsFile());
    }
    void setOption(const char *name, bool ticked) const
    {
        IniWriteBool(QStringLiteral("OPTIONS"), QString::fromLatin1(name), ticked, settingsFile());
    }

    // Starts the program with dialogs that answer by themselves (see main.cpp).
    void start(QProcess &process) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TARSEL_TEST_DIALOGS"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_folder);
        process.start(m_exe, {});
    }

    // Runs the program to its end; false when it did not end by itself in time.
    bool run(int &exitCode, QString &errors, int timeoutMs = 120000) const
    {
        QProcess process;
        start(process);
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            return false;
        }
        exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        errors = QString::fromUtf8(process.readAllStandardError());
        return true;
    }

private:
    QString m_folder;
    QString m_exe;
};
