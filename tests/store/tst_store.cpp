#include "AppState.h"
#include "FavoriteRecord.h"
#include "PinletError.h"
#include "RecordBytes.h"
#include "Store.h"
#include "TestFolder.h"

#include <QtTest>

class TestStore : public QObject {
    Q_OBJECT
private slots:
    void recordLayoutIsByteExact();
    void fieldsAreCut_data();
    void fieldsAreCut();
    void damagedLengthByteReadsAsMaximum();
    void appendOverwritesTrailingRemainder_data();
    void appendOverwritesTrailingRemainder();
    void appendKeepsBytesPastTheTexts();
    void missingDataFile();
    void nextFavoriteId_data();
    void nextFavoriteId();
    void categoriesInFileOrder();
    void writeCategoriesResetsCounters();
    void renameIniKey_data();
    void renameIniKey();
    void renameRewritesOnlyExactMatches();
    void findAndOverwrite();
};

void TestStore::recordLayoutIsByteExact() {
    TestFolder t;
    t.write("Fav.Dat", "");
    FavoriteRecord& r = appState().CurrentFavorite;
    r.setId(0x01020304);
    r.setCategory("News");
    r.setName("BBC");
    r.setUrl("https://bbc.co.uk");
    r.setComment("daily");
    AppendFavorite();
    const QByteArray bytes = t.read("Fav.Dat");
    QCOMPARE(bytes.size(), 628);
    QCOMPARE(bytes, recordBytes(0x01020304, "News", "BBC", "https://bbc.co.uk", "daily"));
    QCOMPARE(bytes.left(4), QByteArray("\x04\x03\x02\x01", 4));
    QCOMPARE(bytes[4], '\x04');
    QCOMPARE(bytes.mid(15, 4), QByteArray("\x03" "BBC"));
    QCOMPARE(bytes.mid(271, 1), QByteArray("\x11"));
    QCOMPARE(bytes.mid(527, 6), QByteArray("\x05" "daily"));

    // And a file made by hand reads back field by field.
    t.write("Fav.Dat", recordBytes(-1, "Work", "Qt", "https://doc.qt.io", "", 'x'));
    ForEachFavorite([] {});
    QCOMPARE(r.id(), -1);
    QCOMPARE(r.category(), QString("Work"));
    QCOMPARE(r.name(), QString("Qt"));
    QCOMPARE(r.url(), QString("https://doc.qt.io"));
    QCOMPARE(r.comment(), QString());
}

void TestStore::fieldsAreCut_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    using F = FavoriteRecord::Field;
    QTest::newRow("category of 11") << int(F::Category) << "Programming" << "Programmin";
    QTest::newRow("name of 300") << int(F::Name) << QString(300, 'n') << QString(255, 'n');
    QTest::newRow("url of 256") << int(F::Url) << QString(256, 'u') << QString(255, 'u');
    QTest::newRow("comment of 150") << int(F::Comment) << QString(150, 'c') << QString(100, 'c');
    QTest::newRow("category never splits a character") << int(F::Category) << QString("Nachrichtä") << "Nachricht";
}

void TestStore::fieldsAreCut() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    FavoriteRecord r;
    r.setText(FavoriteRecord::Field(field), text);
    QCOMPARE(r.text(FavoriteRecord::Field(field)), stored);
}

void TestStore::damagedLengthByteReadsAsMaximum() {
    QByteArray bytes = recordBytes(1, "News", "n", "u", "c", 'z');
    bytes[4] = char(200);   // category length far beyond its 10 bytes
    bytes[527] = char(255); // comment length beyond its 100 bytes, at the record's end
    FavoriteRecord r;
    memcpy(r.data(), bytes.constData(), 628);
    QCOMPARE(r.bytes(FavoriteRecord::Field::Category), QByteArray("News") + QByteArray(6, 'z'));
    QCOMPARE(r.bytes(FavoriteRecord::Field::Comment).size(), 100);
}

void TestStore::appendOverwritesTrailingRemainder_data() {
    QTest::addColumn<int>("initialSize");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("finalSize");
    QTest::newRow("empty file") << 0 << 0 << 628;
    QTest::newRow("1000 bytes") << 1000 << 1 << 1256;
    QTest::newRow("less than one record") << 100 << 0 << 628;
}

void TestStore::appendOverwritesTrailingRemainder() {
    QFETCH(int, initialSize);
    QFETCH(int, records);
    QFETCH(int, finalSize);
    TestFolder t;
    t.write("Fav.Dat", QByteArray(initialSize, '\x07'));
    int read = 0;
    ForEachFavorite([&] { ++read; });
    QCOMPARE(read, records);
    appState().CurrentFavorite.clear();
    appState().CurrentFavorite.setId(9);
    AppendFavorite();
    const QByteArray bytes = t.read("Fav.Dat");
    QCOMPARE(bytes.size(), finalSize);
    QCOMPARE(bytes.mid(records * 628, 4), QByteArray("\x09\0\0\0", 4));
}

void TestStore::appendKeepsBytesPastTheTexts() {
    // What the buffer held past a text stays there: the program has always left it so.
    TestFolder t;
    t.write("Fav.Dat", recordBytes(1, "LongerName", "A long first name", "u", "c"));
    ForEachFavorite([] {});
    FavoriteRecord& r = appState().CurrentFavorite;
    r.setId(2);
    r.setName("B");
    AppendFavorite();
    const QByteArray second = t.read("Fav.Dat").mid(628);
    QCOMPARE(second.mid(15, 4), QByteArray("\x01" "B l"));
}

void TestStore::missingDataFile() {
    TestFolder t;
    try {
        AppendFavorite();
        QFAIL("appended to a missing file");
    } catch (const PinletError& e) {
        QCOMPARE(e.text(), QString("File not found"));
    }
    CreateFavDataWhenMissing();
    QVERIFY(QFileInfo::exists(t.path("Fav.Dat")));
    QCOMPARE(QFileInfo(t.path("Fav.Dat")).size(), 0);
}

void TestStore::nextFavoriteId_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("no file") << QByteArray() << QList<int>{} << 0 << QByteArray("[FavID]\nNewID=1\n");
    QTest::newRow("NewID=41") << QByteArray("[FavID]\nNewID=41\n") << QList<int>{3, 40} << 41
                              << QByteArray("[FavID]\nNewID=42\n");
    QTest::newRow("hex") << QByteArray("[FavID]\nNewID=$10\n") << QList<int>{} << 16 << QByteArray("[FavID]\nNewID=17\n");
    // The settings lost or replaced while the favorites stayed: no ID is handed out twice.
    QTest::newRow("counter behind the file") << QByteArray() << QList<int>{0, 6, -1, 2} << 7
                                             << QByteArray("[FavID]\nNewID=8\n");
    QTest::newRow("counter ahead of the file") << QByteArray("[FavID]\nNewID=2\n") << QList<int>{0, 1}
                                                        << 2 << QByteArray("[FavID]\nNewID=3\n");
}

void TestStore::nextFavoriteId() {
    QFETCH(QByteArray, config);
    QFETCH(QList<int>, ids);
    QFETCH(int, id);
    QFETCH(QByteArray, after);
    TestFolder t;
    if (!config.isEmpty())
        t.write("Config.INI", config);
    QByteArray dat;
    for (int i : ids)
        dat += recordBytes(i, "News", "n", "u", "");
    t.write("Fav.Dat", dat);
    QCOMPARE(NextFavoriteID(), id);
    QCOMPARE(t.read("Config.INI"), after);
}

void TestStore::categoriesInFileOrder() {
    TestFolder t;
    t.write("Config.INI", "[Size]\nWidth=600\n[Categories]\nC=3\nA=5\nB=2\nx=y=1\na=7\n");
    QStringList list;
    ReadCategories(list);
    QCOMPARE(list, QStringList({"C", "A", "B", "x"}));
}

void TestStore::writeCategoriesResetsCounters() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nC=3\nA=5\n");
    appState().CategoryList = {"C", "A", "New"};
    WriteCategories();
    QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\nC=1\nA=1\nNew=1\n"));
}

void TestStore::renameIniKey_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("oldKey");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("after");
    const QByteArray base("[Size]\nWidth=580\n\n[Categories]\nC=3\nA=5\nB=2\n\n[FavID]\nNewID=4\n");
    QTest::newRow("keeps place and value")
        << base << "a" << true << QByteArray("[Size]\nWidth=580\n\n[Categories]\nC=3\nZ=5\nB=2\n\n[FavID]\nNewID=4\n");
    QTest::newRow("key not there") << base << "Q" << false << base;
    QTest::newRow("section not there") << QByteArray("[Size]\nWidth=1\n") << "A" << false << QByteArray("[Size]\nWidth=1\n");
    // A value that does not convert must not cost the section.
    QTest::newRow("value not an integer")
        << QByteArray("[Categories]\nC=x\nA=5\n") << "A" << false << QByteArray("[Categories]\nC=x\nA=5\n");
    QTest::newRow("no file") << QByteArray() << "A" << false << QByteArray();
}

void TestStore::renameIniKey() {
    QFETCH(QByteArray, config);
    QFETCH(QString, oldKey);
    QFETCH(bool, result);
    QFETCH(QByteArray, after);
    TestFolder t;
    if (!config.isEmpty())
        t.write("Config.INI", config);
    QCOMPARE(RenameIniKey(ConfigPath(), "Categories", oldKey, 1, "Z"), result);
    QCOMPARE(t.read("Config.INI"), after);
}

void TestStore::renameRewritesOnlyExactMatches() {
    TestFolder t;
    const QByteArray other = recordBytes(2, "news", "b", "u", "c", 'q');
    t.write("Fav.Dat", recordBytes(1, "News", "a", "u", "c", 'q') + other + recordBytes(-1, "News", "gone", "u", "c"));
    QCOMPARE(RenameCategoryInRecords("News", "Headlines and more"), 2);
    const QByteArray bytes = t.read("Fav.Dat");
    QCOMPARE(bytes.size(), 3 * 628);
    QCOMPARE(bytes.mid(0, 628), recordBytes(1, "Headlines ", "a", "u", "c", 'q'));
    QCOMPARE(bytes.mid(628, 628), other);
    QCOMPARE(bytes.mid(2 * 628, 15), recordBytes(-1, "Headlines ", "gone", "u", "c").left(15));
}

void TestStore::findAndOverwrite() {
    TestFolder t;
    QByteArray file;
    for (int id = 10; id < 15; ++id)
        file += recordBytes(id, "News", "n", "u", "c");
    t.write("Fav.Dat", file);
    QCOMPARE(FindFavoriteById(14), 5);
    QCOMPARE(appState().CurrentFavorite.id(), 14);
    QCOMPARE(FindFavoriteById(99), 0);
    QCOMPARE(FindFavoriteById(12), 3);
    appState().CurrentFavorite.setId(-1);
    OverwriteFavorite(3);
    QByteArray expected = file;
    expected.replace(2 * 628, 4, QByteArray(4, '\xFF'));
    QCOMPARE(t.read("Fav.Dat"), expected);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
