#pragma once
// The reference the payload writer is measured against, natively and under
// Wine alike: the least that restoring a stored stream can cost, one inflate
// into one file.
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include <zlib.h>

#include "install/PayloadWriter.h"

inline void BareInflateToFile(const TPayload& p, const char* path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "wb"), std::fclose);
  if (!file) throw std::runtime_error(std::string("cannot create ") + path);
  std::vector<unsigned char> out(64 * 1024);
  z_stream z{};
  z.next_in = const_cast<unsigned char*>(p.Data);
  z.avail_in = p.CompressedLength;
  inflateInit(&z);
  int result = Z_OK;
  while (result == Z_OK) {
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    result = inflate(&z, Z_NO_FLUSH);
    std::fwrite(out.data(), 1, out.size() - z.avail_out, file.get());
  }
  inflateEnd(&z);
  if (result != Z_STREAM_END) throw std::runtime_error("the stored stream does not inflate");
}
