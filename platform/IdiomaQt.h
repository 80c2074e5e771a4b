#pragma once

#include <QTranslator>

// Qt's own widgets (file and print dialogs, message boxes, spin boxes) speak
// the program's Spanish (Mexico) whatever the machine's locale: dates, sizes
// and numbers in its formats, texts from Qt's Spanish catalogue, and what that
// catalogue lacks or has wrong from TextosQt. Call once, after the
// application object and before any window exists.
void PreparaIdiomaQt();

// The Spanish of Qt's own texts that the catalogue "qtbase" of this Qt leaves
// in English (the print dialog's double-sided printing and page list, its
// conflict messages) or has wrong. Installed after the catalogue, it is asked
// first; what it does not hold goes on to the catalogue.
class TextosQt : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char *contexto, const char *fuente, const char *desambiguacion = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
