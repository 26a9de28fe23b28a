# pip installs the Python package into a virtual environment offline (Debian's setuptools, no
# build isolation), and the installed copy, not the source folder, drives the simulated unit.
# Run: cmake -DPYTHON=... -DSOURCE=<python folder> -DLIBRARY=<libkorvel> -DWORK_DIR=... -P ...
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
# A copy, so that the in-tree build leaves nothing in the repository.
file(COPY ${SOURCE}/ DESTINATION ${WORK_DIR}/src PATTERN __pycache__ EXCLUDE)

function(run out_var)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

set(venv ${WORK_DIR}/v)
run(ignored ${PYTHON} -m venv --system-site-packages ${venv})
run(ignored ${CMAKE_COMMAND} -E env --unset=PYTHONPATH PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1
  ${venv}/bin/pip install --no-build-isolation --no-cache-dir ${WORK_DIR}/src)
run(out ${CMAKE_COMMAND} -E env --unset=PYTHONPATH KORVEL_LIBRARY=${LIBRARY} KORVEL_BACKEND=sim
  KORVEL_SIM_STATE=${WORK_DIR}/unit.json VIRTUAL_ENV_DIR=${venv} ${venv}/bin/python -c [[
import os, korvel
here = os.path.dirname(korvel.__file__)
assert here.startswith(os.environ["VIRTUAL_ENV_DIR"]), here
assert os.path.isfile(os.path.join(here, "py.typed")), "py.typed is not installed"
with korvel.Korvel() as unit:
    unit.select_pattern("PRBS31")
    print(korvel.__version__, unit.status()["pattern"])
]])
if(NOT out STREQUAL "${VERSION} PRBS31\n")
  message(FATAL_ERROR "the installed package printed \"${out}\"")
endif()
