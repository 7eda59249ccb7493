// A picture of the batch window with a few hundred waters in the program's visual style, for
// looking at the layout: calvaro_batch_screenshot TABLE.csv OUTPUT.png (run under a display, for
// example xvfb-run). Not a test: it asserts nothing and is not registered with CTest.

#include "CalvaroApplication.h"
#include "CalvaroMainForm.h"
#include "ScriptedDialogs.h"
#include "WaterTableForm.h"

#include <QPixmap>
#include <QTableView>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    TCalvaroApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TABLE.csv OUTPUT.png\n", argv[0]);
        return 2;
    }
    TScriptedDialogs dialogs;
    TfrmCalvaroMain main;
    main.resize(1100, 700);
    main.show();
    TfrmWaterTable* table = main.OpenWaterTable(QString::fromLocal8Bit(argv[1]));
    table->FinishLoading();
    table->View()->selectRow(3);
    QTest::qWait(300);
    return main.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
