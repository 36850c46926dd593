#pragma once
// A demo-like installation in a temporary folder for the window tests: a machine hive whose program folder is
// the folder of the running test program (where zanit-wb lies too), a sound medium path, and small dictionary
// tables registered as dictionary sections.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "search/Woerterbuchbau.h"
#include "xbase/Codepage.h"

namespace zanit::test {

struct Paar {
    const char* w1;  // UTF-8
    const char* w2;
    int wa;
};

// German - English: groups of one word and part of speech, a word with two parts of speech, umlauts.
inline const std::vector<Paar>& DeutschEnglisch() {
    static const std::vector<Paar> paare = {
        {"Haus", "house", 2},         {"Haus", "home", 2},          {"Hausarzt", "family doctor", 2},
        {"Hausaufgabe", "homework", 2}, {"hausen", "to dwell", 1},  {"Hund", "dog", 2},
        {"Hut", "hat", 2},            {"Apfel", "apple", 2},        {"Äpfel", "apples", 2},
        {"laufen", "to run", 1},      {"Lauf", "run", 2},           {"gut", "good", 3},
        {"Garten", "garden", 2},      {"Gast", "guest", 2},         {"Tür", "door", 2},
        {"Hotel", "hotel", 2},
    };
    return paare;
}

inline const std::vector<Paar>& DeutschLatein() {
    static const std::vector<Paar> paare = {
        {"Haus", "domus/us f", 2}, {"Herr", "dominus/i m", 2}, {"Rose", "rosa/ae f (Rose)", 2},
        {"gut", "bonus/a/um", 3},
    };
    return paare;
}

class TestInstallation {
public:
    // `settings`: extra values of the settings key, as hive lines ("\"Seek\"=dword:00000001"). By default
    // the notice about missing speech output stays away at the first opening (no test dictionary has sound).
    explicit TestInstallation(std::vector<QString> settings = {"\"Seek\"=dword:00000001",
                                                               "\"Interval\"=dword:00000064",
                                                               "\"Sound\"=dword:00000000"}) {
        QVERIFY(dir_.isValid());
        program_ = QCoreApplication::applicationDirPath() + "/";
        cd_ = dir_.path() + "/";
        settings_ = std::move(settings);
        hive_ = dir_.filePath("machine.reg");
    }

    QString Pfad(const QString& name) const { return dir_.filePath(name); }
    QString Hive() const { return hive_; }
    void SetzeProgramm(const QString& folder) { program_ = folder; }
    void SetzeCD(const QString& folder) { cd_ = folder; }
    void Einstellung(const QString& line) { settings_.push_back(line); }

    // Builds a dictionary table in the temporary folder and registers it under `section`.
    // `password`: another one than the dictionary password makes a table the program cannot open.
    void Woerterbuch(const QString& section, const QString& file, const char* textM, const char* textF,
                     const std::vector<Paar>& paare, const char* password = nullptr) {
        std::vector<Woerterbucheintrag> records;
        for (const Paar& p : paare) {
            Woerterbucheintrag e;
            e.W1 = xbase::Utf8ToCp1252(p.w1);
            e.W2 = xbase::Utf8ToCp1252(p.w2);
            e.WA = p.wa;
            records.push_back(e);
        }
        const QString path = dir_.filePath(file);
        WoerterbuchOptionen options;
        if (password) options.passwort = password;
        SchreibeWoerterbuch(path.toStdString(), xbase::Utf8ToCp1252(textM), xbase::Utf8ToCp1252(textF), records,
                            options);
        sections_.push_back({section, {"\"Dictionary\"=\"" + path + "\"", QString("\"TextM\"=\"%1\"").arg(textM),
                                       QString("\"TextF\"=\"%1\"").arg(textF)}});
    }

    // Registers a section with the given value lines.
    void Abschnitt(const QString& section, std::vector<QString> values) {
        sections_.push_back({section, std::move(values)});
    }

    // Registers a table file that exists but is not a table: opening it fails.
    void KaputtesWoerterbuch(const QString& section, const QString& file) {
        QFile f(dir_.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(700, 'x'));
        f.close();
        sections_.push_back({section, {"\"Dictionary\"=\"" + f.fileName() + "\"", "\"TextF\"=\"Kaputt\""}});
    }

    // Writes the hive (UTF-8) and points ZANIT_REGISTRY at it.
    void Schreiben() const {
        QString text = "Windows Registry Editor Version 5.00\r\n\r\n";
        text += "[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]\r\n";
        text += "\"Program\"=\"" + program_ + "\"\r\n";
        text += "\"CD\"=\"" + cd_ + "\"\r\n";
        for (const QString& s : settings_) text += s + "\r\n";
        for (const auto& [section, values] : sections_) {
            text += "\r\n[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary\\" + section + "]\r\n";
            for (const QString& v : values) text += v + "\r\n";
        }
        QFile f(hive_);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
        f.close();
        qputenv("ZANIT_REGISTRY", hive_.toLocal8Bit());
    }

    QByteArray HiveBytes() const {
        QFile f(hive_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
    QString hive_, program_, cd_;
    std::vector<QString> settings_;
    std::vector<std::pair<QString, std::vector<QString>>> sections_;
};

// German - English as "Englisch" and German - Latin as "Latein", written and in force.
inline std::unique_ptr<TestInstallation> ZweiWoerterbuecher(std::vector<QString> settings) {
    auto inst = std::make_unique<TestInstallation>(std::move(settings));
    inst->Woerterbuch("Englisch", "DE_EN.DBF", "Deutsch", "Englisch", DeutschEnglisch());
    inst->Woerterbuch("Latein", "LATEIN.DBF", "Deutsch", "Latein", DeutschLatein());
    inst->Schreiben();
    return inst;
}

// Base of the test classes that start the window on a fresh installation per test.
class TestMitInstallation {
protected:
    void Installieren(std::vector<QString> settings) { inst_ = ZweiWoerterbuecher(std::move(settings)); }
    std::unique_ptr<TestInstallation> inst_;
};

}  // namespace zanit::test
