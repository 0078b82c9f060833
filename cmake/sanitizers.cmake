# ORVEL_SANITIZE=address,undefined or thread: instruments everything built here.
if(ORVEL_SANITIZE)
  add_compile_options(-fsanitize=${ORVEL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ORVEL_SANITIZE})
endif()
