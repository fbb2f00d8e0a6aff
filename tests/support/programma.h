#pragma once
// One test program made of several test classes, each in a file of its own:
// after the class, PROVA(TestX) adds it to the program, whose main()
// (main_core.cpp without widgets, main_gui.cpp with) runs every class in
// turn. Fewer programs build and link faster.
//
// Never QSKIP in initTestCase(): Qt 6.4 keeps that skip and runs no test of
// the classes after it. Skip in init() or in the test function instead.
#include <QTest>

#include <algorithm>
#include <functional>
#include <vector>

// Each class by name, with what runs it.
using ProvaDelProgramma = std::pair<QByteArray, std::function<int(int, char**)>>;
inline std::vector<ProvaDelProgramma>& proveDelProgramma()
{
    static std::vector<ProvaDelProgramma> prove;
    return prove;
}

template <class Classe>
bool registraProva()
{
    proveDelProgramma().push_back({Classe::staticMetaObject.className(), [](int argc, char** argv) {
                                       Classe prova;
                                       return QTest::qExec(&prova, argc, argv);
                                   }});
    return true;
}
#define PROVA(Classe) static const bool registrata##Classe = registraProva<Classe>()

// Runs every class, or only the one ANAGSOST_CLASSE names (so that the
// arguments, a test function say, are that class's); the failures of all, at
// most 127 (an exit status).
inline int eseguiProve(int argc, char** argv)
{
    const QByteArray sola = qgetenv("ANAGSOST_CLASSE");
    int fallite = 0;
    for (const auto& [nome, prova] : proveDelProgramma())
        if (sola.isEmpty() || nome == sola)
            fallite += prova(argc, argv);
    return std::min(fallite, 127);
}
