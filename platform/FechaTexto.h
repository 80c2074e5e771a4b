#pragma once

#include <QDate>
#include <QString>

// A date written day first, "dd/MM/yyyy": what QDate::fromString takes with
// that format (an invalid date for anything else), without building Qt's
// date parser for each text; the sheet reads its dates at every save.
QDate FechaDeTexto(const QString &texto);

// A date as the dialect's functions and the criteria read a text: the stored
// yyyy-MM-dd (a time may follow it after a blank or a T), or a typed
// dd/MM/yyyy, also d/M/yyyy, read day first; blanks around it allowed. An
// invalid date for anything else.
QDate FechaDelDialecto(const QString &texto);

// The day of a day number of the dialect's calendar, where a date is its day
// number: day 0 is 30/12/1899, the day is the whole part counted toward zero
// (the fraction is the time of day, counted forward also below zero), from
// 01/01/100 to 31/12/9999; an invalid date outside.
QDate FechaDeNumero(double numero);

// A day number as the stored dates are written, so that it compares with them
// as the dialect compares a date with its number: yyyy-MM-dd for a whole day,
// and "yyyy-MM-dd hh:mm:ss" when a time of day follows (after the day itself,
// before the next one). Empty outside the calendar.
QString TextoDeNumero(double numero);
