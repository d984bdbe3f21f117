// The IGES file of one B-spline face: start, global, directory and
// parameter sections of 80-column lines, the parameter lines streamed as
// they fill.
#include "io/SplineParts.h"
#include "opennurbs/SurfaceWeights.h"
#include "io/SurfaceFormats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace pelmora::io {
namespace {

// Fills the 80-column lines of one section: data in the first `width`
// columns, then (parameter section only) the entity's directory line
// number, then the section letter and the line's sequence number.
class IgesSection
{
public:
  IgesSection(TextOutput &out, char letter, int width)
      : m_out(out), m_letter(letter), m_width(width)
  {
  }

  // Adds one field. A field that fits on a line never breaks across lines;
  // a longer one (a long file name) runs on over as many as it needs.
  void Field(std::string_view text)
  {
    if (m_used > 0 && m_used + int(text.size()) > m_width)
      EndLine();
    while (!text.empty()) {
      const size_t room = std::min(text.size(), size_t(m_width - m_used));
      std::memcpy(m_line + m_used, text.data(), room);
      m_used += int(room);
      text.remove_prefix(room);
      if (!text.empty())
        EndLine();
    }
  }
  void Real(double x, char delimiter)
  {
    char text[kRealChars + 1];
    char *end = FormatReal(text, x);
    *end++ = delimiter;
    Field(std::string_view(text, size_t(end - text)));
  }
  void Int(long long x, char delimiter)
  {
    char text[24];
    const int n = std::snprintf(text, sizeof text, "%lld%c", x, delimiter);
    Field(std::string_view(text, size_t(n)));
  }
  // A Hollerith string; an empty one is left out (the field's default).
  void String(const std::string &s, char delimiter)
  {
    Field(s.empty() ? std::string(1, delimiter) : std::to_string(s.size()) + "H" + s + delimiter);
  }
  // Ends the current entity (parameter section) or the section.
  void Finish()
  {
    if (m_used > 0)
      EndLine();
  }
  void SetEntity(int directoryLine) { m_entity = directoryLine; }
  int Lines() const { return m_sequence; }

private:
  void EndLine()
  {
    char tail[24];
    std::memset(m_line + m_used, ' ', size_t(m_width - m_used));
    m_out.Put(std::string_view(m_line, size_t(m_width)));
    if (m_width == 64) {
      std::snprintf(tail, sizeof tail, " %7d%c%07d\n", m_entity, m_letter, ++m_sequence);
    } else {
      std::snprintf(tail, sizeof tail, "%c%07d\n", m_letter, ++m_sequence);
    }
    m_out.Put(tail);
    m_used = 0;
  }

  TextOutput &m_out;
  char m_letter;
  int m_width;
  int m_used = 0;
  int m_entity = 0;
  int m_sequence = 0;
  char m_line[80];
};

// A directory entry: two lines of ten 8-column fields.
std::string DirectoryEntry(int type, int parameterStart, int parameterLines, const char *status,
                           int sequence)
{
  char text[200];
  std::snprintf(text, sizeof text,
                "%8d%8d%8d%8d%8d%8d%8d%8d%8sD%07d\n"
                "%8d%8d%8d%8d%8d%8s%8s%8s%8dD%07d\n",
                type, parameterStart, 0, 0, 0, 0, 0, 0, status, sequence, type, 0, 0,
                parameterLines, 0, "", "", "", 0, sequence + 1);
  return text;
}

// The 128 entity's parameters: counts, degrees, flags, knots, weights,
// control points (u fastest), parameter range.
void SurfaceParameters(IgesSection &p, const ON_NurbsSurface &surface)
{
  const int countU = surface.CVCount(0), countV = surface.CVCount(1);
  const bool polynomial = !HasWeightOtherThanOne(surface);
  p.Int(128, ',');
  p.Int(countU - 1, ',');
  p.Int(countV - 1, ',');
  p.Int(surface.Degree(0), ',');
  p.Int(surface.Degree(1), ',');
  for (int flag : {0, 0, polynomial ? 1 : 0, 0, 0})
    p.Int(flag, ',');
  for (int dir = 0; dir < 2; ++dir)
    for (double knot : FullKnots(surface, dir))
      p.Real(knot, ',');
  for (int j = 0; j < countV; ++j)
    for (int i = 0; i < countU; ++i)
      p.Real(surface.Weight(i, j), ',');
  for (int j = 0; j < countV; ++j)
    for (int i = 0; i < countU; ++i) {
      ON_3dPoint cv;
      surface.GetCV(i, j, cv);
      p.Real(cv.x, ',');
      p.Real(cv.y, ',');
      p.Real(cv.z, ',');
    }
  const ON_Interval u = surface.Domain(0), v = surface.Domain(1);
  p.Real(u.Min(), ',');
  p.Real(u.Max(), ',');
  p.Real(v.Min(), ',');
  p.Real(v.Max(), ';');
}

double LargestCoordinate(const ON_NurbsSurface &surface)
{
  double largest = 0.0;
  for (int i = 0; i < surface.CVCount(0); ++i)
    for (int j = 0; j < surface.CVCount(1); ++j) {
      ON_3dPoint cv;
      surface.GetCV(i, j, cv);
      largest = std::max({largest, std::fabs(cv.x), std::fabs(cv.y), std::fabs(cv.z)});
    }
  return largest;
}

} // namespace

void WriteIges(TextOutput &out, const ON_NurbsSurface &surface, const std::string &name)
{
  IgesSection start(out, 'S', 72);
  start.Field("Pelmora surface");
  start.Finish();

  const std::string stamp = TimeStamp(true);
  IgesSection global(out, 'G', 72);
  global.String(",", ',');
  global.String(";", ',');
  global.String("Pelmora", ',');     // sending product
  global.String(name, ',');          // file name
  global.String("Pelmora", ',');     // native system
  global.String("Pelmora", ',');     // preprocessor
  for (int n : {32, 38, 6, 308, 15}) // integer bits, single and double precision
    global.Int(n, ',');
  global.String("Pelmora", ','); // receiving product
  global.Real(1.0, ',');         // model space scale
  global.Int(2, ',');            // units: millimetres
  global.String("MM", ',');
  global.Int(1, ',');        // line weight gradations
  global.Real(0.01, ',');    // largest line weight
  global.String(stamp, ','); // date of this file
  global.Real(1e-7, ',');    // resolution
  global.Real(LargestCoordinate(surface), ',');
  global.String("", ',');    // author
  global.String("", ',');    // organisation
  global.Int(11, ',');       // IGES 5.3
  global.Int(0, ',');        // drafting standard
  global.String(stamp, ';'); // date of the model
  global.Finish();

  // The directory states how many parameter lines each entity takes: keep
  // its place (fixed-size lines) and fill it in once they are written.
  const size_t directory = out.Offset();
  char entries[4 * 81 + 1];
  std::memset(entries, ' ', sizeof entries);
  out.Put(std::string_view(entries, 4 * 81));

  IgesSection parameters(out, 'P', 64);
  parameters.SetEntity(1);
  parameters.Int(144, ',');
  parameters.Int(3, ','); // the surface's directory entry
  parameters.Int(0, ','); // its outer boundary is the surface's own
  parameters.Int(0, ','); // no inner boundaries
  parameters.Int(0, ';');
  parameters.Finish();
  parameters.SetEntity(3);
  SurfaceParameters(parameters, surface);
  parameters.Finish();
  const int surfaceLines = parameters.Lines() - 1;

  out.Patch(directory, DirectoryEntry(144, 1, 1, "00000000", 1) +
                           DirectoryEntry(128, 2, surfaceLines, "00010000", 3));

  char terminate[96];
  std::snprintf(terminate, sizeof terminate, "S%7dG%7dD%7dP%7d%40sT%07d\n", start.Lines(),
                global.Lines(), 4, parameters.Lines(), "", 1);
  out.Put(terminate);
}

} // namespace pelmora::io
