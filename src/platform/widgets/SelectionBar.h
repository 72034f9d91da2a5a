#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

// The bottom bar of a screen that acts on the selected rows of a list: "Total de registros:"
// with its count (lblTotRegistros), a second caption with the count of rows done
// (lblRegistrosGerados), both "0" at rest, and the progress bar pgCont.
class SelectionBar : public QWidget {
    Q_OBJECT
public:
    // `doneCaption` is the second counter's caption, such as "Registros gerados:".
    explicit SelectionBar(const QString& doneCaption, QWidget* parent = nullptr);

    // The progress bar from 0 to `total`, at 0, and `total` in "Total de registros:".
    void start(int total);
    // The progress bar at `n`, and `n` in the second counter.
    void step(int n);
    void setProgress(int n);
    void setDone(int n);
    // The bar at rest: the progress bar at 0 and both counters "0".
    void reset();

    QLabel* lblTotRegistros = nullptr;
    QLabel* lblRegistrosGerados = nullptr;
    QProgressBar* pgCont = nullptr;

private:
    QElapsedTimer m_painted; // since the bar was last painted at once
};
