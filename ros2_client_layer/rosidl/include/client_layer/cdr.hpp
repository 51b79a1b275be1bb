// Plain CDR (XCDR1) encoding as ROS 2 uses it on DDS.
//
// CdrWriter always writes little-endian. CdrReader honours the byte order the
// encapsulation header announces (little- or big-endian plain CDR). Alignment
// of primitives is relative to the first byte after the 4-byte encapsulation
// header. Strings are a uint32 length including a terminating NUL, the bytes,
// then the NUL; the bytes themselves may hold anything, NUL included.
// Sequences are a uint32 element count followed by the elements.
//
// The reader never reads past its buffer: every read returns false once the
// data runs out or a length is impossible, and the reader stays failed.
#ifndef CLIENT_LAYER__CDR_HPP_
#define CLIENT_LAYER__CDR_HPP_

// Declarations only in this first version of the contract; the rosidl work
// provides the class definitions:
//
// class CdrWriter {
//  public:
//   explicit CdrWriter(std::vector<std::uint8_t> & out);  // clears `out`
//   void write_encapsulation();                            // 00 01 00 00
//   void write(bool); void write(char); void write(std::int8_t); ... all
//     fixed-width integers, float, double, long double (as 16 bytes? no: ROS
//     maps long double to 16-byte float128 only in name; not needed here);
//   void write_string(const std::string &);
//   void write_wstring(const std::u16string &);
//   void write_sequence_size(std::uint32_t);
//   template <typename T> void write_array(const T *, std::size_t) for primitives;
// };
// class CdrReader {
//  public:
//   CdrReader(const std::uint8_t * data, std::size_t size);
//   bool read_encapsulation();
//   bool read(T &) for the same primitive types;
//   bool read_string(std::string &);  bool read_wstring(std::u16string &);
//   bool read_sequence_size(std::uint32_t & count, std::size_t min_element_size);
//     // rejects counts that cannot fit in the remaining bytes, so a hostile
//     // length never causes a huge allocation
//   std::size_t remaining() const;
// };

#endif  // CLIENT_LAYER__CDR_HPP_
