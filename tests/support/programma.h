#pragma once
// One test program made of several test classes, each in a file of its own:
// after the class, PROVA(TestX) adds it to the program, whose main()
// (main_core.cpp without widgets, main_gui.cpp with) runs every class in
// turn. Fewer programs build and link faster.
#include <QTest>

#include <algorithm>
#include <functional>
#include <vector>

inline std::vector<std::function<int(int, char**)>>& proveDelProgramma()
{
    static std::vector<std::function<int(int, char**)>> prove;
    return prove;
}

template <class Classe>
bool registraProva()
{
    proveDelProgramma().push_back([](int argc, char** argv) {
        Classe prova;
        return QTest::qExec(&prova, argc, argv);
    });
    return true;
}
#define PROVA(Classe) static const bool registrata##Classe = registraProva<Classe>()

// Runs every class; the failures of all, at most 127 (an exit status).
inline int eseguiProve(int argc, char** argv)
{
    int fallite = 0;
    for (const auto& prova : proveDelProgramma())
        fallite += prova(argc, argv);
    return std::min(fallite, 127);
}
