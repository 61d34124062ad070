#pragma once
// Arrow keys on the note views act when let go, once no repeat follows at once:
// clickKey and holdKey wait that moment out. holdKey is a key held down on X: the
// press, then pairs of release and press marked as repeats, then the one release that
// is not a repeat.
#include <QTest>
#include <QWidget>

namespace wux::test {

inline void letKeysSettle() { QTest::qWait(100); }

inline void clickKey(QWidget* w, Qt::Key key) {
  QTest::keyClick(w, key);
  letKeysSettle();
}

inline void holdKey(QWidget* w, Qt::Key key, int repeats) {
  QTest::simulateEvent(w, true, key, Qt::NoModifier, QString(), false);
  for (int i = 0; i < repeats; ++i) {
    QTest::simulateEvent(w, false, key, Qt::NoModifier, QString(), true);
    QTest::simulateEvent(w, true, key, Qt::NoModifier, QString(), true);
  }
  QTest::simulateEvent(w, false, key, Qt::NoModifier, QString(), false);
  letKeysSettle();
}

}  // namespace wux::test
