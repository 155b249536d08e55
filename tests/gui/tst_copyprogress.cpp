#include "core/environment.h"
#include "gui/dialogseams.h"
#include "gui/filedialogs.h"
#include "gui/folderfield.h"
#include "gui/mainwindow.h"
#include "gui/messagebox.h"
#include "gui/questionbox.h"
#include "gui/shellopen.h"

#include <QAction>
#include <QDir>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

class TestCopyProgress : public QObject
{
    Q_OBJECT

private slots:
    void largeCopyShowsProgressAndKeepsItsWords();
};

void TestCopyProgress::largeCopyShowsProgressAndKeepsItsWords()
{
    SwitchDialogsToTestMode();
    QFile::remove(UserIniFileName());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.path() + QStringLiteral("/source/");
    const QString target = dir.path() + QStringLiteral("/cible/");
    QDir().mkpath(source + QStringLiteral("gros"));
    QDir().mkpath(target);
    QByteArray chunk(1 << 20, 'x');
    QFile large(source + QStringLiteral("gros/image.iso"));
    QVERIFY(large.open(QIODevice::WriteOnly));
    for (int i = 0; i < 96; ++i) {
        chunk[0] = char(i);
        large.write(chunk);
    }
    large.close();
    for (const char *name : {"a.txt", "b.txt", "gros/c.txt"}) {
        QFile small(source + QString::fromLatin1(name));
        QVERIFY(small.open(QIODevice::WriteOnly));
        small.write(name);
    }

    TForm1 form;
    form.createExclusionsWindow();
    form.chk_AutoCopy->setChecked(false);
    form.DirSOURCE->setText(source);
    form.DirCIBLE->setText(target);
    form.show();
    form.command(QStringLiteral("act_BtnSEL"))->trigger();
    QCOMPARE(form.ListBox1.size(), 4);

    // The bar moves while the copy runs, inside the large file too.
    QList<int> values;
    bool copying = false;
    connect(form.ProgressBar, &QProgressBar::valueChanged, this, [&](int value) {
        if (copying)
            values << value;
    });
    copying = true;
    form.command(QStringLiteral("DO_COPY"))->trigger();
    copying = false;
    const bool partway =
        std::any_of(values.begin(), values.end(), [](int v) { return v > 0 && v < 1000; });
    QVERIFY2(partway, qPrintable(QStringLiteral("values seen: %1").arg(values.size())));
    QVERIFY(!form.ProgressBar->isVisible());

    for (int i = 0; i < form.ListBox1.size(); ++i) {
        QCOMPARE(form.ListBox2[i], QStringLiteral("Créé"));
        const QString copied = target + form.ListBox1[i].mid(source.size());
        QCOMPARE(QFileInfo(copied).size(), QFileInfo(form.ListBox1[i]).size());
    }
    QFile copiedLarge(target + QStringLiteral("gros/image.iso"));
    QVERIFY(copiedLarge.open(QIODevice::ReadOnly));
    QVERIFY(copiedLarge.seek(95 << 20));
    QCOMPARE(copiedLarge.read(1), QByteArray(1, char(95)));
    QFile::remove(UserIniFileName());
}

QTEST_MAIN(TestCopyProgress)
#include "tst_copyprogress.moc"
