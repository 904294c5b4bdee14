#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Where the rows of a list come from. Rows are numbered from 0 (their ids) and keep their
// number for as long as the source lives; a number may stand for no row (one removed). The
// list reads the texts when it shows, sorts or filters rows and keeps no copies of them.
class ListSource {
  public:
    virtual ~ListSource() = default;
    virtual int Ids() const = 0;
    virtual bool Alive(int id) const = 0;
    // The row's text in a column: the row's own text in column 0, its sub-items after it. The
    // view must stay valid until the row is changed or removed.
    virtual std::string_view Text(int id, int column) const = 0;
    virtual std::string Key(int id) const = 0;
    virtual long long Tag(int id) const = 0;
};

}  // namespace vexa
