#pragma once
// A key held down on X: the press, then pairs of release and press marked as repeats,
// then the one release that is not a repeat.
#include <QTest>
#include <QWidget>

namespace wux::test {

inline void holdKey(QWidget* w, Qt::Key key, int repeats) {
  QTest::simulateEvent(w, true, key, Qt::NoModifier, QString(), false);
  for (int i = 0; i < repeats; ++i) {
    QTest::simulateEvent(w, false, key, Qt::NoModifier, QString(), true);
    QTest::simulateEvent(w, true, key, Qt::NoModifier, QString(), true);
  }
  QTest::simulateEvent(w, false, key, Qt::NoModifier, QString(), false);
}

}  // namespace wux::test
