#pragma once
// A clean variable store for every test: no variables, no locals, an
// en_US locale with "." as decimal symbol, the headless host with three
// pages, and an observer that records what the store broadcasts.

#include "platform/decimal_symbol.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>

#include <utility>
#include <vector>

namespace tomeric::testing {

class RecordingObserver : public VariableObserver {
public:
    std::vector<std::pair<QString, QString>> changes;
    std::vector<std::pair<QString, bool>> errors;
    int scopeChanges = 0;

    void VariableChanged(const QString& name, const QString& value) override {
        changes.emplace_back(name, value);
    }
    void LastErrorSet(const QString& text, bool showErrorBox) override {
        errors.emplace_back(text, showErrorBox);
    }
    void LocalScopeChanged() override { ++scopeChanges; }

    QStringList ChangedNames() const {
        QStringList names;
        for (const auto& change : changes)
            names << change.first;
        return names;
    }
};

class VarsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ResetVariableStore();
        SetDecimalSymbol(u'.');
        SetShowErrors(true);
        SetSelfName(QString());
        SetBuiltinHost(nullptr);
        DefaultHeadlessHost().state = HeadlessWindowState{};
        DefaultHeadlessHost().state.pageTitles = {QString(), QStringLiteral("Intro"),
                                                  QStringLiteral("Chapter"), QStringLiteral("End")};
        SetVariable(QStringLiteral("[PageNumberOffset]"), QStringLiteral("0"));
        CurrentPublicationFacts() = PublicationFacts{};
        AddVariableObserver(&observer);
        observer = RecordingObserver{};
    }
    void TearDown() override {
        RemoveVariableObserver(&observer);
        ResetVariableStore();
        SetDecimalSymbol(u'.');
        QLocale::setDefault(QLocale::system());
    }

    static void Set(const char* name, const QString& value) {
        SetVariable(QString::fromUtf8(name), value);
    }
    static QString Get(const char* name) { return GetVariable(QString::fromUtf8(name)); }

    RecordingObserver observer;
};

} // namespace tomeric::testing
