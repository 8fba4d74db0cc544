# Makes a throw-away test CA and a server certificate for 127.0.0.1 signed by
# it.  Run at build time into the build tree; nothing here is ever committed.
# Usage: cmake -DOPENSSL=... -DOUT=dir -P make_test_certs.cmake
file(MAKE_DIRECTORY ${OUT})
file(WRITE ${OUT}/server.ext "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n")
# A second one, trusted but for another name.
file(WRITE ${OUT}/other.ext "subjectAltName=DNS:elsewhere.test\nbasicConstraints=CA:FALSE\n")
set(ec -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
execute_process(COMMAND ${OPENSSL} req -x509 ${ec} -keyout ${OUT}/ca.key -out ${OUT}/ca.pem
                        -days 3650 -subj "/CN=Ostrel test CA"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "openssl: cannot make the test CA")
endif()
foreach(name server other)
  execute_process(COMMAND ${OPENSSL} req ${ec} -keyout ${OUT}/${name}.key -out ${OUT}/${name}.csr
                          -subj "/CN=${name}"
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "openssl: cannot make the server key")
  endif()
  execute_process(COMMAND ${OPENSSL} x509 -req -in ${OUT}/${name}.csr -CA ${OUT}/ca.pem -CAkey ${OUT}/ca.key
                          -CAcreateserial -out ${OUT}/${name}.pem -days 3650 -extfile ${OUT}/${name}.ext
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "openssl: cannot sign the server certificate")
  endif()
endforeach()
