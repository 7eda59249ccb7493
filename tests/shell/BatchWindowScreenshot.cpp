// A picture of the batch window with a few hundred waters in the program's visual style, for
// looking at the layout: calvaro_batch_screenshot TABLE.csv OUTPUT.png [COLUMN] (run under a
// display, for example xvfb-run); with COLUMN, the table is scrolled to the first column whose
// header starts with that text (such as "Precipitation potential"). Not a test: it asserts
// nothing and is not registered with CTest.

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
        std::fprintf(stderr, "usage: %s TABLE.csv OUTPUT.png [COLUMN]\n", argv[0]);
        return 2;
    }
    TScriptedDialogs dialogs;
    TfrmCalvaroMain main;
    main.resize(1100, 700);
    main.show();
    TfrmWaterTable* table = main.OpenWaterTable(QString::fromLocal8Bit(argv[1]));
    table->FinishLoading();
    table->View()->selectRow(3);
    if (argc >= 4) {
        const QString wanted = QString::fromLocal8Bit(argv[3]);
        const QAbstractItemModel* shown = table->View()->model();
        for (int column = 0; column < shown->columnCount(); ++column)
            if (shown->headerData(column, Qt::Horizontal).toString().startsWith(wanted)) {
                table->View()->scrollTo(shown->index(3, column), QAbstractItemView::PositionAtCenter);
                break;
            }
    }
    QTest::qWait(300);
    return main.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
