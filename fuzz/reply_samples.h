#pragma once
// Reply texts as the instrument sends them (inside the frame), one of every
// kind the dispatcher knows, some with the odd values real instruments send.
// Seeds for the targets that take replies.
#include <string>
#include <vector>

inline std::vector<std::string> ReplySampleTexts() {
  return {"GN,R,CH4,---,H2S,CO ,VOC,IR ,---,---,TC ", "SA,R,0064,FFFF,DDDD,FEFE,0000,D001,0032",
          "DN,R,0064,DDDD,FFFF,FEFE,0001,0002,0003", "FF,R,1,0,0032,0,0,0,0",
          "FF,R,1,1,0032,0064,8,0,0,0,0,0,0,0,0",
          "SO,R,0,260305140709,0064,0064,261305140709,0001,0002,,,,,,,,,,,,,,",
          "XS,R,00,A,B,C", "XS,R,FF,Z", "XS,R,FE,Far", "LO,R,1,Long name,ABC,8000",
          "LI,R,03,0064,1,2,0001,0002,0003,0004,0005,0006,0007", "HC,R,260305140709",
          "LA,R,22,FFFF,0064,00010000,1", "RC,R,KORVIN", "UX,C,\x1A", "SZ,C,1,1,1,1,1,1,1",
          "MM,C,00,01,\x06", "EF,R,1,2,3,00112233445566778899AABBCCDDEEFF0011",
          "A1,W,0064,0064,0064,0064,0064,0064,0064,", "IT,R,0,1,2,3,4,5,@", "UG,R,1,2,3,4,5,6,;"};
}
